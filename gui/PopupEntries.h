#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// The entries of a popup menu: texts of up to 255 characters, each with a
// check flag. The storage grows by 32 entries when full.
class PopupEntries {
public:
    static constexpr std::size_t longestText = 255; // characters

    int32_t count() const { return int32_t(entries_.size()); }
    int32_t capacity() const { return int32_t(entries_.capacity()); }
    bool has(int32_t index) const { return index >= 0 && index < count(); }

    // At index (0 .. count); a null text is empty. False when the storage
    // cannot grow, and nothing changes.
    bool insert(int32_t index, const char* text);
    void remove(int32_t index);
    // Frees the storage too.
    void clear();

    const char* text(int32_t index) const { return entries_[std::size_t(index)].text.c_str(); }
    void setText(int32_t index, const char* text);
    bool checked(int32_t index) const { return entries_[std::size_t(index)].checked; }
    void setChecked(int32_t index, bool checked) { entries_[std::size_t(index)].checked = checked; }

private:
    struct Entry {
        std::string text;
        bool checked;
    };
    static std::string cut(const char* text);

    std::vector<Entry> entries_;
};

} // namespace voltara

#include "gui/PopupEntries.h"

#include <cstring>
#include <new>

namespace voltara {
namespace {

constexpr std::size_t growth = 32; // entries

} // namespace

std::string PopupEntries::cut(const char* text)
{
    return text ? std::string(text, strnlen(text, longestText)) : std::string();
}

bool PopupEntries::insert(int32_t index, const char* text)
{
    try {
        if (entries_.size() == entries_.capacity())
            entries_.reserve(entries_.capacity() + growth);
        entries_.insert(entries_.begin() + index, Entry{cut(text), false});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void PopupEntries::remove(int32_t index)
{
    entries_.erase(entries_.begin() + index);
}

void PopupEntries::clear()
{
    std::vector<Entry>().swap(entries_);
}

void PopupEntries::setText(int32_t index, const char* text)
{
    entries_[std::size_t(index)].text = cut(text);
}

} // namespace voltara

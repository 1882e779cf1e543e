#include "tools/voltara/editor/EditorScript.h"

#include "platform/linux/Host.h"
#include "tools/voltara/base/NumberParse.h"
#include "tools/voltara/base/ToolError.h"

#include <sstream>

namespace voltara {
namespace {

namespace host = platform::host;

struct Name {
    const char* word;
    uint32_t value;
};

constexpr Name buttons[] = {{"left", host::leftButton}, {"right", host::rightButton}, {"middle", host::middleButton}};
constexpr Name modifiers[] = {{"shift", host::shiftKey}, {"ctrl", host::controlKey}, {"alt", host::altKey}};
// Arrow keys, with the virtual-key numbers hosts pass.
constexpr Name arrowKeys[] = {{"left", 11}, {"up", 12}, {"right", 13}, {"down", 14}};
constexpr uint8_t fineModifier = 1; // the modifier byte's Shift

template <size_t count>
const Name* find(const Name (&names)[count], const std::string& word)
{
    for (const Name& name : names)
        if (word == name.word)
            return &name;
    return nullptr;
}

class Parser {
public:
    explicit Parser(std::string source) : source_(std::move(source)) { script_.source = source_; }

    void line(const std::string& text, int number)
    {
        number_ = number;
        const std::string code = text.substr(0, text.find('#'));
        std::istringstream words(code);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            return;
        const std::string& action = w[0];
        if (action == "move")
            move(w);
        else if (action == "down")
            down(w);
        else if (action == "up")
            up(w);
        else if (action == "wait")
            advance(integer(w, 1, 0, 600000, "a number of milliseconds"));
        else if (action == "wheel")
            wheel(w);
        else if (action == "key")
            key(w);
        else if (action == "choose")
            choose(w);
        else if (action == "select")
            select(code, w);
        else
            fail("unknown action \"" + action + "\" (move, down, up, wait, wheel, key, choose, select)");
    }

    EditorScript finish()
    {
        if (held_ & (host::leftButton | host::rightButton | host::middleButton))
            throw ToolError(source_ + ":" + std::to_string(lastDown_)
                            + ": the button pressed here is never released; end with \"up\"");
        return std::move(script_);
    }

private:
    [[noreturn]] void fail(const std::string& message) const
    {
        throw ToolError(source_ + ":" + std::to_string(number_) + ": " + message);
    }

    void expectWords(const std::vector<std::string>& w, size_t least, size_t most, const char* usage) const
    {
        if (w.size() < least || w.size() > most)
            fail(std::string("expected \"") + usage + "\"");
    }

    int integer(const std::vector<std::string>& w, size_t at, int lowest, int highest, const char* what) const
    {
        const std::optional<int> value = at < w.size() ? parseInteger(w[at], lowest, highest) : std::nullopt;
        if (!value)
            fail(std::string(w[0]) + " takes " + what + " from " + std::to_string(lowest) + " to "
                 + std::to_string(highest));
        return *value;
    }

    // The simulated clock compares times as signed 32-bit milliseconds: a
    // script may not last longer than that holds.
    void advance(int64_t milliseconds)
    {
        time_ += milliseconds;
        if (time_ > EditorScript::longestTime)
            fail("the script lasts past " + std::to_string(EditorScript::longestTime)
                 + " ms, longer than the simulated clock holds");
    }

    EditorScript::Step step(EditorScript::Step::Kind kind) const
    {
        EditorScript::Step s;
        s.kind = kind;
        s.line = number_;
        s.time = uint32_t(time_);
        return s;
    }

    // The cursor and held state as they are now, from now on.
    void input()
    {
        EditorScript::Step s = step(EditorScript::Step::input);
        s.x = x_;
        s.y = y_;
        s.held = held_;
        script_.steps.push_back(s);
        advance(EditorScript::stepTime);
    }

    void move(const std::vector<std::string>& w)
    {
        expectWords(w, 3, 3, "move X Y");
        x_ = integer(w, 1, -10000, 10000, "a window x");
        y_ = integer(w, 2, -10000, 10000, "a window y");
        input();
    }

    void down(const std::vector<std::string>& w)
    {
        expectWords(w, 2, 5, "down BUTTON [shift] [ctrl] [alt]");
        const Name* button = find(buttons, w[1]);
        if (!button)
            fail("down takes a button: left, right or middle");
        for (size_t i = 2; i < w.size(); ++i) {
            const Name* modifier = find(modifiers, w[i]);
            if (!modifier)
                fail("\"" + w[i] + "\" is not a modifier: shift, ctrl or alt");
            held_ |= modifier->value;
        }
        held_ |= button->value;
        lastDown_ = number_;
        input();
    }

    void up(const std::vector<std::string>& w)
    {
        if (w.size() == 1)
            held_ = 0;
        for (size_t i = 1; i < w.size(); ++i) {
            const Name* name = find(buttons, w[i]);
            if (!name)
                name = find(modifiers, w[i]);
            if (!name)
                fail("up takes buttons or modifiers to release, or nothing for all");
            held_ &= ~name->value;
        }
        input();
    }

    void requireNothingHeld(const std::string& action) const
    {
        if (held_ & (host::leftButton | host::rightButton | host::middleButton))
            fail(action + " while a button is held: the host passes it after the mouse is released");
    }

    void wheel(const std::vector<std::string>& w)
    {
        expectWords(w, 2, 2, "wheel N");
        requireNothingHeld("wheel");
        EditorScript::Step s = step(EditorScript::Step::wheel);
        s.distance = float(integer(w, 1, -100, 100, "a number of notches"));
        script_.steps.push_back(s);
    }

    void key(const std::vector<std::string>& w)
    {
        expectWords(w, 2, 3, "key left|right|up|down [shift]");
        requireNothingHeld("key");
        const Name* arrow = find(arrowKeys, w[1]);
        if (!arrow)
            fail("key takes an arrow key: left, right, up or down");
        if (w.size() == 3 && w[2] != "shift")
            fail("the only key modifier is shift (finer steps)");
        EditorScript::Step s = step(EditorScript::Step::key);
        s.virtualKey = uint8_t(arrow->value);
        s.modifier = w.size() == 3 ? fineModifier : 0;
        script_.steps.push_back(s);
    }

    void choose(const std::vector<std::string>& w)
    {
        expectWords(w, 2, 2, "choose N|none");
        EditorScript::Step s = step(EditorScript::Step::chooseEntry);
        s.entry = w[1] == "none" ? -1 : integer(w, 1, 0, 1023, "an entry number");
        script_.steps.push_back(s);
    }

    void select(const std::string& code, const std::vector<std::string>& w)
    {
        if (w.size() < 2)
            fail("expected \"select PATH|none\"");
        EditorScript::Step s = step(EditorScript::Step::selectPath);
        if (w[1] != "none" || w.size() > 2) {
            // The path is the rest of the line, blanks and all.
            const std::string rest = code.substr(code.find("select") + 6);
            const size_t first = rest.find_first_not_of(" \t");
            const size_t last = rest.find_last_not_of(" \t\r");
            s.path = rest.substr(first, last - first + 1);
        }
        script_.steps.push_back(s);
    }

    std::string source_;
    EditorScript script_;
    int number_ = 0;
    int64_t time_ = 0;
    int x_ = 0;
    int y_ = 0;
    uint32_t held_ = 0;
    int lastDown_ = 0;
};

} // namespace

EditorScript EditorScript::parse(std::istream& in, const std::string& source)
{
    Parser parser(source);
    std::string text;
    for (int number = 1; std::getline(in, text); ++number)
        parser.line(text, number);
    return parser.finish();
}

} // namespace voltara

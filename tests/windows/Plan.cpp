#include "tests/windows/Plan.h"

#include <fstream>

namespace voltara::winhost {

bool Plan::read(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        return false;
    const auto slash = path.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string text;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty() || text[0] == '#')
            continue;
        std::vector<std::string> fields;
        for (std::size_t start = 0;;) {
            const std::size_t tab = text.find('\t', start);
            fields.push_back(text.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        const std::string kind = fields.front();
        fields.erase(fields.begin());
        lines.push_back({kind, Line{fields}});
    }
    return true;
}

std::vector<Plan::Line> Plan::all(const std::string& kind) const
{
    std::vector<Line> found;
    for (const auto& [name, line] : lines)
        if (name == kind)
            found.push_back(line);
    return found;
}

std::string Plan::value(const std::string& kind) const
{
    for (const auto& [name, line] : lines)
        if (name == kind && !line.fields.empty())
            return line.fields.front();
    return {};
}

} // namespace voltara::winhost

#include "core/production/JUnit.h"

#include <cstdio>
#include <sstream>

namespace production {

namespace {

// Text as XML 1.0 may hold it: escaped, and the characters it cannot hold
// at all (most controls, broken UTF-8 from a DTU) as U+FFFD.
std::string Xml(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '&': out += "&amp;"; continue;
        case '<': out += "&lt;"; continue;
        case '>': out += "&gt;"; continue;
        case '"': out += "&quot;"; continue;
        default: break;
        }
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += "\xEF\xBF\xBD";
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        // Well-formed UTF-8 only (RFC 3629): no overlong form, no surrogate,
        // nothing past U+10FFFF, and not U+FFFE or U+FFFF, which XML refuses.
        const std::size_t length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        bool whole = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (whole && length >= 3) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            const unsigned char low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
            whole = second >= low && second <= high;
            if (whole && c == 0xEF && second == 0xBF && static_cast<unsigned char>(text[i + 2]) >= 0xBE)
                whole = false;
        }
        if (!whole) {
            out += "\xEF\xBF\xBD";
            continue;
        }
        out.append(text, i, length);
        i += length - 1;
    }
    return out;
}

std::string Seconds(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(ms) / 1000.0);
    return text;
}

std::string Limit(const Measurement& m)
{
    const auto number = [](double v) {
        std::ostringstream out;
        out << v;
        return out.str();
    };
    if (!m.expected.empty())
        return m.expected;
    if (m.low && m.high)
        return *m.low == *m.high ? number(*m.low) : number(*m.low) + ".." + number(*m.high);
    if (m.low)
        return ">= " + number(*m.low);
    if (m.high)
        return "<= " + number(*m.high);
    return "";
}

}  // namespace

std::string JUnitXml(const std::string& suite, const std::string& timestamp, std::int64_t totalMs,
                     const std::vector<UnitReport>& units)
{
    std::size_t failures = 0, errors = 0, skipped = 0;
    for (const UnitReport& u : units) {
        failures += u.verdict == Verdict::Failed ? 1 : 0;
        errors += u.verdict == Verdict::Error ? 1 : 0;
        skipped += u.verdict == Verdict::Stopped ? 1 : 0;
    }
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<testsuites>\n"
        << "  <testsuite name=\"" << Xml(suite) << "\" tests=\"" << units.size() << "\" failures=\"" << failures
        << "\" errors=\"" << errors << "\" skipped=\"" << skipped << "\" time=\"" << Seconds(totalMs)
        << "\" timestamp=\"" << Xml(timestamp) << "\">\n";
    for (const UnitReport& u : units) {
        const std::string name = u.ownId.empty() ? u.port : u.port + " " + u.ownId;
        out << "    <testcase classname=\"" << Xml(suite) << "\" name=\"" << Xml(name) << "\" time=\""
            << Seconds(u.ms) << "\">\n";
        out << "      <properties>\n";
        if (!u.label.empty())
            out << "        <property name=\"label\" value=\"" << Xml(u.label) << "\"/>\n";
        for (const Step& s : u.steps) {
            out << "        <property name=\"" << Xml(s.m.name) << "\" value=\"" << Xml(s.m.value);
            if (!s.m.unit.empty())
                out << ' ' << Xml(s.m.unit);
            out << "\"/>\n";
        }
        out << "      </properties>\n";
        switch (u.verdict) {
        case Verdict::Passed:
            break;
        case Verdict::Failed:
            out << "      <failure message=\"" << Xml(u.failure) << "\" type=\"measurement\">";
            for (const Step& s : u.steps) {
                std::string line = s.m.name + " = " + s.m.value;
                if (!s.m.unit.empty())
                    line.append(" ").append(s.m.unit);
                line.append(" (limit ").append(Limit(s.m)).append(")").append(s.m.passed ? "" : " FAILED");
                out << Xml(line) << "\n";
            }
            out << "</failure>\n";
            break;
        case Verdict::Error:
            out << "      <error message=\"" << Xml(u.failure) << "\" type=\"unit\"/>\n";
            break;
        case Verdict::Stopped:
            out << "      <skipped message=\"stopped\"/>\n";
            break;
        }
        out << "    </testcase>\n";
    }
    out << "  </testsuite>\n</testsuites>\n";
    return out.str();
}

}  // namespace production

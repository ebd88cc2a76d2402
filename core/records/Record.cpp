#include "core/records/Record.h"

#include "core/monitor/LineLog.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <type_traits>

namespace records {

namespace chr = std::chrono;

Value Get(const Record& r, const Column& c)
{
    return std::visit(
        [&](auto field) -> Value {
            const auto& v = r.*field;
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::optional<std::int64_t>>)
                return v ? Value(*v) : Value();
            else
                return v;
        },
        c.field);
}

void Set(Record& r, const Column& c, Value v)
{
    std::visit(
        [&](auto field) {
            auto& target = r.*field;
            using T = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::string>) {
                if (auto* s = std::get_if<std::string>(&v))
                    target = std::move(*s);
            } else if (auto* n = std::get_if<std::int64_t>(&v)) {
                target = *n;
            } else if constexpr (std::is_same_v<T, std::optional<std::int64_t>>) {
                if (std::holds_alternative<std::monostate>(v))
                    target.reset();
            }
        },
        c.field);
}

std::string IsoTime(std::int64_t ms)
{
    const chr::sys_time<chr::milliseconds> t{chr::milliseconds(ms)};
    const chr::sys_days day = chr::floor<chr::days>(t);
    const chr::year_month_day ymd{day};
    const chr::hh_mm_ss<chr::milliseconds> hms{t - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                  static_cast<int>(hms.seconds().count()), static_cast<int>(hms.subseconds().count()));
    return text;
}

namespace {

// Exactly `digits` decimal digits at `at`, moved past.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t digits)
{
    if (at + digits > text.size())
        return std::nullopt;
    int value = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    at += digits;
    return value;
}

bool Skip(std::string_view text, std::size_t& at, std::string_view any)
{
    if (at < text.size() && any.find(text[at]) != std::string_view::npos) {
        ++at;
        return true;
    }
    return false;
}

}  // namespace

std::optional<Span> ParseIsoTime(std::string_view text)
{
    std::size_t at = 0;
    const auto year = Digits(text, at, 4);
    const bool dash1 = Skip(text, at, "-");
    const auto month = Digits(text, at, 2);
    const bool dash2 = Skip(text, at, "-");
    const auto day = Digits(text, at, 2);
    if (!year || !dash1 || !month || !dash2 || !day)
        return std::nullopt;
    const chr::year_month_day ymd{chr::year(*year), chr::month(static_cast<unsigned>(*month)),
                                  chr::day(static_cast<unsigned>(*day))};
    if (!ymd.ok())
        return std::nullopt;
    std::int64_t ms = chr::sys_days(ymd).time_since_epoch() / chr::milliseconds(1);
    std::int64_t length = 86'400'000;
    if (at == text.size())
        return Span{ms, ms + length};

    if (!Skip(text, at, "Tt "))
        return std::nullopt;
    const auto hour = Digits(text, at, 2);
    const bool colon = Skip(text, at, ":");
    const auto minute = Digits(text, at, 2);
    if (!hour || !colon || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    ms += (*hour * 60 + *minute) * 60'000LL;
    length = 60'000;
    if (Skip(text, at, ":")) {
        const auto second = Digits(text, at, 2);
        if (!second || *second > 59)
            return std::nullopt;
        ms += *second * 1000LL;
        length = 1000;
        if (Skip(text, at, ".,")) {
            int scale = 100;
            std::size_t digits = 0;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
                ms += (text[at++] - '0') * scale;
                scale /= 10;
                ++digits;
            }
            if (digits == 0)
                return std::nullopt;
            // Finer than the records keep: the millisecond it falls in.
            while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                ++at;
            length = digits == 1 ? 100 : digits == 2 ? 10 : 1;
        }
    }
    if (Skip(text, at, "Zz")) {
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at++] == '+' ? 1 : -1;
        const auto hours = Digits(text, at, 2);
        Skip(text, at, ":");
        const auto minutes = at == text.size() ? std::optional<int>(0) : Digits(text, at, 2);
        if (!hours || !minutes || *hours > 23 || *minutes > 59)
            return std::nullopt;
        ms -= sign * (*hours * 60 + *minutes) * 60'000LL;
    }
    if (at != text.size())
        return std::nullopt;
    return Span{ms, ms + length};
}

namespace {

nlohmann::ordered_json Limit(const std::optional<double>& v)
{
    return v ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

}  // namespace

std::string JsonLine(const Record& r)
{
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (const Column& c : kColumns) {
        const Value v = Get(r, c);
        if (const auto* n = std::get_if<std::int64_t>(&v))
            j[std::string(c.name)] = *n;
        else if (const auto* s = std::get_if<std::string>(&v))
            j[std::string(c.name)] = *s;
        else
            j[std::string(c.name)] = nullptr;
    }
    // Only a test has them: every other record's line stays as it was.
    if (!r.measurements.empty()) {
        nlohmann::ordered_json& all = j["measurements"] = nlohmann::ordered_json::array();
        for (const Measurement& m : r.measurements)
            all.push_back({{"name", m.name},
                           {"value", m.value},
                           {"unit", m.unit},
                           {"low", Limit(m.low)},
                           {"high", Limit(m.high)},
                           {"expected", m.expected},
                           {"passed", m.passed}});
    }
    // A DTU's text may be any bytes.
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string CsvHeader()
{
    std::string line;
    for (const Column& c : kColumns) {
        if (!line.empty())
            line += ',';
        line += c.name;
    }
    return line;
}

std::string CsvLine(const Record& r)
{
    std::string line;
    for (const Column& c : kColumns) {
        if (&c != &kColumns.front())
            line += ',';
        const Value v = Get(r, c);
        if (const auto* n = std::get_if<std::int64_t>(&v))
            line += std::to_string(*n);
        else if (const auto* s = std::get_if<std::string>(&v))
            line += monitor::CsvField(*s);
    }
    return line;
}

std::string SummaryJson(const Summary& s, By by)
{
    nlohmann::ordered_json j{{"units", s.units},
                             {"passed", s.passed},
                             {"failed", s.failed},
                             {"yield", s.yield},
                             {"by", by == By::Hour ? "hour" : "day"}};
    nlohmann::ordered_json& periods = j["periods"] = nlohmann::ordered_json::array();
    for (const Summary::Period& p : s.periods)
        periods.push_back({{"start", p.start}, {"passed", p.passed}, {"failed", p.failed}});
    nlohmann::ordered_json& failing = j["failing_measurements"] = nlohmann::ordered_json::array();
    for (const Summary::Failing& f : s.failing)
        failing.push_back({{"name", f.name}, {"count", f.count}});
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::optional<std::int64_t> OwnIdNumber(std::string_view text)
{
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    std::int64_t n = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        n = n * 16 + digit;
    }
    return n;
}

std::string OwnIdText(std::int64_t n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%012llX", static_cast<unsigned long long>(n));
    return text;
}

}  // namespace records

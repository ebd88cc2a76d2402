#include "ui/common/Words.h"

#include "driver/records/Messages.h"
#include "core/production/Messages.h"
#include "core/production/Verdict.h"
#include "jobs/port/Messages.h"
#include "jobs/records/Recorder.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace ui {

namespace {

// A message of the lower layers: its context and English text as marked
// where it is made, and which of its values are messages of their own
// ("2": %2), shown in the window's language too.
struct Known {
    const char* context;
    const char* english;
    const char* messages = "";
};

const Known kKnown[] = {
    // The records stores.
    {"records::msg", records::msg::kStore, "2"},
    {"records::msg", records::msg::kNoPath},
    {"records::msg", records::msg::kNoRecord},
    {"records::msg", records::msg::kNotAResult},
    {"records::msg", records::msg::kOutOfMemory},
    {"records::msg", records::msg::kNoFolder, "2"},
    {"records::msg", records::msg::kIsAFolder},
    {"records::msg", records::msg::kCannotOpen, "1"},
    {"records::msg", records::msg::kFolderReadOnly, "1"},
    {"records::msg", records::msg::kRefused},
    {"records::msg", records::msg::kNoAnswer},
    {"records::msg", records::msg::kAuthFailed},
    {"records::msg", records::msg::kNoPassword},
    {"records::msg", records::msg::kNoDatabase},
    {"records::msg", records::msg::kNoUser},
    {"records::msg", records::msg::kNoHost},
    {"records::msg", records::msg::kLost},
    {"records::msg", records::msg::kOutbox, "2"},
    {"records::msg", records::msg::kUnreadable, "2"},
    // The jobs on a port.
    {"jobs::msg", jobs::msg::kDoctor, "1"},
    {"jobs::msg", jobs::msg::kServerClosed},
    {"jobs::msg", jobs::msg::kPortGone},
    {"jobs::msg", jobs::msg::kGoneSending, "12"},
    {"jobs::msg", jobs::msg::kNotTaken, "12"},
    {"jobs::msg", jobs::msg::kGoneWaiting, "12"},
    {"jobs::msg", jobs::msg::kMalformed, "1"},
    {"jobs::msg", jobs::msg::kNoAnswerSent, "1"},
    {"jobs::msg", jobs::msg::kNotAnImage, "2"},
    {"jobs::msg", jobs::msg::kNotRegular},
    {"jobs::msg", jobs::msg::kNoSuchFile},
    {"jobs::msg", jobs::msg::kTooLarge},
    {"jobs::msg", jobs::msg::kCannotReadWhy, "2"},
    {"jobs::msg", jobs::msg::kCannotRead},
    {"jobs::msg", jobs::msg::kEmpty},
    // A production test's failures.
    {"production::msg", production::msg::kVersionMismatch},
    {"production::msg", production::msg::kSignalUnknown},
    {"production::msg", production::msg::kSignalLow},
    {"production::msg", production::msg::kSignalHigh},
    {"production::msg", production::msg::kNoRegistration},
    {"production::msg", production::msg::kNoHeartbeat},
    {"production::msg", production::msg::kEchoShort},
    {"production::msg", production::msg::kEchoDiffers},
    {"production::msg", production::msg::kEchoExtra},
    {"production::msg", production::msg::kEchoSlow},
    {"production::msg", production::msg::kReadBackDiffers, "2"},
    {"production::msg", production::msg::kNoVersionAfter},
    {"jobs::msg", jobs::kOwnIdsNeedRecords},
    {"records::msg", records::msg::kNewerSchema},
    {"records::msg", records::msg::kUsedUp},
    {"records::msg", records::msg::kNotARange},
    {"production::msg", production::msg::kFinalOwnId},
    {"jobs::msg", jobs::msg::kImageBlock},
    {"jobs::msg", jobs::msg::kImageBlockN},
    {"jobs::msg", jobs::msg::kImageEnd},
    {"jobs::msg", jobs::msg::kGoneAfter, "1"},
    {"jobs::msg", jobs::msg::kBytesIn},
    {"jobs::msg", jobs::msg::kAccepted, "1"},
    {"jobs::msg", jobs::msg::kUpgraded, "1"},
    {"jobs::msg", jobs::msg::kRejected, "1"},
    {"jobs::msg", jobs::msg::kNoAnswer, "1"},
    {"jobs::msg", jobs::msg::kImageUnread},
    {"jobs::msg", jobs::msg::kEndedOddly},
    {"jobs::msg", jobs::msg::kStopped},
    {"jobs::msg", jobs::msg::kStoppedAfter},
    {"jobs::msg", jobs::msg::kWindowClosed, "1"},
    {"jobs::msg", jobs::msg::kStartedAgain, "1"},
    {"jobs::msg", jobs::msg::kLineFailedAfter},
    {"jobs::msg", jobs::msg::kRejectedNow},
    {"jobs::msg", jobs::msg::kFrameNotTaken},
    {"jobs::msg", jobs::msg::kNothingSent},
    {"jobs::msg", jobs::msg::kNothingChanged},
    // A port that would not open, as a job's failure: serial::OpenFailureText's
    // texts, which the tests compare with what it writes.
    {"serial", "Device %1 not found."},
    {"serial", "No permission to open %1."},
    {"serial", "No permission to open %1: add the current user to the dialout group (sudo usermod -aG dialout "
               "$USER), log in again, then open it."},
    {"serial", "%1 is in use by another program."},
    {"serial", "%1 is in use by another program; close that program first."},
    {"serial", "%1 is not a serial device."},
    {"serial", "%1 does not support the chosen baud rate or parity."},
    {"serial", "%1 is not a network port: write rfc2217://HOST:PORT or socket://HOST:PORT."},
    {"serial", "Cannot connect to %1: there is no host named %2. Check the host name."},
    {"serial", "Cannot connect to %1: the name %2 could not be looked up (%3). Check the network and the name "
               "server.",
     "3"},
    {"serial", "no name server could answer"},
    {"serial", "%1 refused the connection: nothing listens on that port of the host."},
    {"serial", "Connecting to %1 timed out: the host did not answer. Check the address, the network and the "
               "firewall."},
    {"serial", "The server of %1 closed the connection, saying: \"%2\""},
    {"serial", "The server of %1 closed the connection before the line was set: another user may have the port, or "
               "the server cannot open its device."},
    {"serial", "The server of %1 does not speak RFC 2217 (or binary mode), so the baud rate and parity cannot be "
               "set; use socket:// and set the line on the server."},
    {"serial", "The server of %1 does not accept the chosen baud rate or parity (it answered %2 baud)."},
    {"serial", "The server of %1 did not confirm the chosen baud rate and parity; the line is unknown, so the port "
               "was not opened."},
    {"serial", "Cannot open %1: %2", "2"},
    // The system's words within those (std::generic_category, strerror).
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "No such file or directory")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Permission denied")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Operation not permitted")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Read-only file system")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "No space left on device")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Disk quota exceeded")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Is a directory")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Not a directory")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "File name too long")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Too many open files")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Input/output error")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Device or resource busy")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "No such device")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "No such device or address")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "Broken pipe")},
    // SQLite's (sqlite3_errmsg) within a store's message.
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "database is locked")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "attempt to write a readonly database")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "disk I/O error")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "disk I/O error (%1)"), "1"},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "database disk image is malformed")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "file is not a database")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "unable to open database file")},
    {"ui::Words", QT_TRANSLATE_NOOP("ui::Words", "database or disk is full")},
};

// What a job names its requests by (monitor::CommandName), which the core
// translates where it writes them.
const char* const kNames[] = {"monitor"};

// Between messages, as jobs join them.
const char* const kJoin = QT_TRANSLATE_NOOP("ui::Words", "; ");

// A pattern cut at its values: literals[i] comes before the value that
// fills %args[i], the last literal after the last value.
struct Pattern {
    const Known* known;
    QStringList literals;
    std::vector<int> args;
};

Pattern Parse(const Known& k)
{
    Pattern p{&k, {}, {}};
    const QString english = QString::fromUtf8(k.english);
    QString literal;
    for (qsizetype i = 0; i < english.size(); ++i) {
        const QChar next = i + 1 < english.size() ? english[i + 1] : QChar();
        if (english[i] == u'%' && next >= u'1' && next <= u'9') {
            p.literals << literal;
            literal.clear();
            p.args.push_back(next.unicode() - u'0');
            ++i;
        } else {
            literal += english[i];
            i += english[i] == u'%' && next == u'%';
        }
    }
    p.literals << literal;
    return p;
}

const std::vector<Pattern>& Patterns()
{
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> all;
        for (const Known& k : kKnown)
            all.push_back(Parse(k));
        // The one that says more of a text first: "%1 bytes in %2 s" would
        // take in a whole "the DTU rejected the image (DCK) after 1024 bytes
        // in 2.5 s" as its %1.
        const auto said = [](const Pattern& p) {
            qsizetype n = 0;
            for (const QString& literal : p.literals)
                n += literal.size();
            return n;
        };
        std::stable_sort(all.begin(), all.end(), [&](const Pattern& a, const Pattern& b) { return said(a) > said(b); });
        return all;
    }();
    return patterns;
}

bool IsMessage(const Pattern& p, std::size_t value)
{
    return std::strchr(p.known->messages, '0' + p.args[value]) != nullptr;
}

// The pattern in the window's language with `values` in the places of
// its %1 ... %9.
QString Filled(const Pattern& p, const QStringList& values)
{
    const QString shown = QCoreApplication::translate(p.known->context, p.known->english);
    QString out;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar next = i + 1 < shown.size() ? shown[i + 1] : QChar();
        const auto arg = std::find(p.args.begin(), p.args.end(), next.unicode() - u'0');
        if (shown[i] == u'%' && next >= u'1' && next <= u'9' && arg != p.args.end()) {
            out += values[arg - p.args.begin()];
            ++i;
        } else {
            out += shown[i];
            i += shown[i] == u'%' && next == u'%';
        }
    }
    return out;
}

using Take = std::function<bool(const QStringList&)>;

// Calls `take` with each set of values, the one after those in `values`
// onwards, that makes `rest` what the pattern says from there, the shorter
// earlier values first, until it returns true.
bool Fills(const Pattern& p, QStringView rest, QStringList& values, const Take& take)
{
    const auto i = static_cast<std::size_t>(values.size());
    if (i == p.args.size())
        return rest.isEmpty() && take(values);
    const QString& after = p.literals[qsizetype(i) + 1];
    if (i + 1 == p.args.size()) {
        if (rest.size() <= after.size() || !rest.endsWith(after))
            return false;
        values << rest.first(rest.size() - after.size()).toString();
        const bool taken = take(values);
        values.removeLast();
        return taken;
    }
    for (qsizetype at = rest.indexOf(after, 1); at > 0; at = rest.indexOf(after, at + 1)) {
        values << rest.first(at).toString();
        const bool taken = Fills(p, rest.sliced(at + after.size()), values, take);
        values.removeLast();
        if (taken)
            return true;
    }
    return false;
}

struct Shown {
    QString text;
    // Every part of it was known; else one of its values is shown as it
    // came, and another reading of the text may know more.
    bool whole = false;
};

// `text` as one message.
std::optional<Shown> One(const QString& text)
{
    std::optional<Shown> partly;
    for (const Pattern& p : Patterns()) {
        if (!text.startsWith(p.literals.front()) || !text.endsWith(p.literals.back()))
            continue;
        std::optional<Shown> whole;
        QStringList values;
        Fills(p, QStringView(text).sliced(p.literals.front().size()), values, [&](const QStringList& found) {
            QStringList shown = found;
            bool known = true;
            for (std::size_t i = 0; i < p.args.size(); ++i) {
                if (!IsMessage(p, i))
                    continue;
                const std::optional<Shown> value = One(found[qsizetype(i)]);
                known = known && value && value->whole;
                if (value)
                    shown[qsizetype(i)] = value->text;
            }
            if (known) {
                whole = Shown{Filled(p, shown), true};
                return true;
            }
            if (!partly)
                partly = Shown{Filled(p, shown), false};
            return false;
        });
        if (whole)
            return whole;
    }
    if (partly)
        return partly;
    for (const char* context : kNames) {
        const QString name = QCoreApplication::translate(context, text.toUtf8().constData());
        if (name != text)
            return Shown{name, true};
    }
    return std::nullopt;
}

}  // namespace

QString Words(const std::string& english)
{
    // A run of parts that is one message known whole wins, the longest
    // first, since a message may hold "; " itself; else a part alone, so
    // that a value not known does not swallow the messages after it.
    const QStringList parts = QString::fromStdString(english).split(QStringLiteral("; "));
    QStringList shown;
    for (qsizetype first = 0; first < parts.size();) {
        qsizetype end = parts.size();
        QString text;
        for (; end > first + 1; --end) {
            const std::optional<Shown> run = One(parts.sliced(first, end - first).join(QStringLiteral("; ")));
            if (run && run->whole) {
                text = run->text;
                break;
            }
        }
        if (end == first + 1) {
            const std::optional<Shown> part = One(parts[first]);
            text = part ? part->text : parts[first];
        }
        shown << text;
        first = end;
    }
    return shown.join(QCoreApplication::translate("ui::Words", kJoin));
}

QString MeasurementWord(std::string_view name)
{
    static const struct {
        std::string_view name;
        const char* shown;
    } kShown[] = {
        {production::kVersion, QT_TRANSLATE_NOOP("ui::Words", "版本")},
        {production::kSignal, QT_TRANSLATE_NOOP("ui::Words", "信号")},
        {production::kUpgrade, QT_TRANSLATE_NOOP("ui::Words", "升级")},
        {production::kSetup, QT_TRANSLATE_NOOP("ui::Words", "指向测试服务器")},
        {production::kRegistration, QT_TRANSLATE_NOOP("ui::Words", "注册")},
        {production::kHeartbeat, QT_TRANSLATE_NOOP("ui::Words", "心跳")},
        {"echo", QT_TRANSLATE_NOOP("ui::Words", "数据回环")},
        {production::kEchoUp, QT_TRANSLATE_NOOP("ui::Words", "上行数据")},
        {production::kEchoDown, QT_TRANSLATE_NOOP("ui::Words", "下行数据")},
        {production::kEchoTime, QT_TRANSLATE_NOOP("ui::Words", "数据往返时间")},
        {production::kOwnId, QT_TRANSLATE_NOOP("ui::Words", "本机ID")},
        {production::kProfile, QT_TRANSLATE_NOOP("ui::Words", "最终配置")},
    };
    for (const auto& s : kShown)
        if (s.name == name)
            return QCoreApplication::translate("ui::Words", s.shown);
    return QString::fromUtf8(name.data(), static_cast<int>(name.size()));
}

std::vector<KnownWords> AllKnownWords()
{
    std::vector<KnownWords> all;
    for (const Known& k : kKnown)
        all.push_back({k.context, k.english});
    return all;
}

}  // namespace ui

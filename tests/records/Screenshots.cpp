// Renders the records page on a bench's three hundred jobs: all of them and
// the failed ones in Chinese, all of them in English. Then the yield of a
// line's five days of tests, in Chinese and English, light and dark, small,
// and one day's by the hour. scripts/screenshots.sh runs it under Xvfb.
// Usage: records_screenshots OUTPUT_DIR
#include "core/production/Verdict.h"
#include "driver/records/Store.h"
#include "tests/support/SampleRecords.h"
#include "tests/support/Shots.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Language.h"
#include "ui/records/RecordsPage.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace {

// A line's tests over five days as a factory in China works them, 08:00 to
// 18:00: about a hundred units a day, one in twelve failing at first, most
// of those passing when tested again, a few dropping out. Each label
// carries its day: "SN2612070042".
bool KeepLine(records::Store& store, std::string& error)
{
    using namespace production;
    const std::int64_t firstDay = 1796256000000;  // 2026-12-03T08:00+08:00
    std::uint32_t seed = 7;
    const auto draw = [&seed](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    const std::string_view steps[] = {kVersion, kSignal, kRegistration, kHeartbeat, kEchoUp, kEchoDown, kEchoTime};
    // What fails, as often as it does on a line.
    const std::string_view often[] = {kSignal, kSignal, kSignal, kSignal, kEchoTime, kEchoTime, kEchoTime,
                                      kRegistration, kRegistration, kHeartbeat, kVersion, kEchoUp};
    const auto test = [&](const std::string& unit, const std::string& label, std::int64_t started,
                          std::string_view result, std::string_view failing) {
        records::Record r;
        r.started = records::IsoTime(started);
        r.station = "line-1";
        r.operatorName = "zhang.min";
        r.program = "dtutool 0.1.0";
        r.port = "/dev/ttyUSB" + std::to_string(draw(8));
        r.action = records::kActionTest;
        r.unitId = unit;
        r.label = label;
        r.version = "KV-331 V2.4.0";
        std::vector<records::Measurement> measured;
        for (const std::string_view step : steps) {
            measured.push_back({std::string(step), "1", "", {}, {}, "", step != failing});
            if (step == failing && result == records::kResultError)
                break;
        }
        const auto id = store.Begin(r, error);
        return id && store.Complete(*id, result, failing.empty() ? "" : std::string(failing) + " out of its limit",
                                    records::IsoTime(started + 95'000), measured, error);
    };
    for (int day = 0; day < 5; ++day) {
        const int units = 80 + int(draw(40));
        char date[16];
        std::snprintf(date, sizeof date, "2612%02d", 3 + day);
        for (int u = 0; u < units; ++u) {
            const std::int64_t started = firstDay + day * 86'400'000LL + u * (36'000'000LL / units) + draw(60'000);
            const std::string unit = records::OwnIdText(0x3A0F00100000LL + day * 0x1000 + u);
            char label[24];
            std::snprintf(label, sizeof label, "SN%s%04d", date, u + 1);
            const std::uint32_t roll = draw(100);
            const std::string_view result = roll < 7 ? records::kResultFailed : roll < 9 ? records::kResultError
                                                                                         : records::kResultOk;
            const std::string_view failing =
                result == records::kResultOk ? std::string_view() : often[draw(std::size(often))];
            if (!test(unit, label, started, result, failing))
                return false;
            // Tested again after a look at it: most pass then.
            if (result != records::kResultOk && draw(10) < 8 &&
                !test(unit, label, started + 600'000, draw(4) == 0 ? records::kResultFailed : records::kResultOk,
                      draw(4) == 0 ? failing : std::string_view()))
                return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    QTemporaryDir temporary;
    const std::string path = temporary.filePath(QStringLiteral("records.sqlite")).toStdString();
    std::string error;
    {
        const auto store = records::OpenStore(path, error);
        for (int i = 0; store && i < 300; ++i) {
            const records::Record r = SampleRecord(i);
            const auto id = store->Begin(r, error);
            if (!id || (!r.ended.empty() && !store->Complete(*id, r.result, r.detail, r.ended, error)))
                break;
        }
    }
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(path));

    const auto shoot = [&dir](const QString& name, const QString& filter) {
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("recordsMenuAction"))->trigger();
        RecordsPage* page = window.recordsPage();
        page->findChild<QLineEdit*>(QStringLiteral("recordsFilter"))->setText(filter);
        page->Refresh();
        SaveShot(page, dir, name);
    };
    shoot(QStringLiteral("records"), {});
    shoot(QStringLiteral("records-failed"), QStringLiteral("失败"));

    // The line's days as its engineers live them.
    setenv("TZ", "CST-8", 1);
    tzset();
    const std::string line = temporary.filePath(QStringLiteral("line.sqlite")).toStdString();
    if (const auto store = records::OpenStore(line, error); !store || !KeepLine(*store, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(line));
    bool ok = true;
    const auto yield = [&](const QString& name, const QString& filter, QSize size = {}) {
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("recordsMenuAction"))->trigger();
        RecordsPage* page = window.recordsPage();
        if (size.isValid())
            page->resize(size);
        page->findChild<QLineEdit*>(QStringLiteral("recordsFilter"))->setText(filter);
        page->findChild<QPushButton*>(QStringLiteral("recordsYieldButton"))->click();
        ok = RunUntil([page] { return !page->busy(); }) && ok;
        SaveShot(page, dir, name);
    };
    const auto dark = [&](const std::function<void()> shoot) {
        const QPalette light = QApplication::palette();
        const QString style = QApplication::style()->name();
        UseDarkPalette();
        shoot();
        QApplication::setStyle(style);
        QApplication::setPalette(light);
    };
    yield(QStringLiteral("records-yield"), {});
    dark([&] { yield(QStringLiteral("records-yield-dark"), {}); });
    yield(QStringLiteral("records-yield-day"), QStringLiteral("SN261207"));
    yield(QStringLiteral("records-yield-small"), {}, QSize(640, 480));
    qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(path));

    ui::InstallLanguage(ui::Language::English);
    QApplication::setApplicationDisplayName(QCoreApplication::translate("Startup", "DTU参数配置工具"));
    shoot(QStringLiteral("records-en"), {});
    qputenv("DTUTOOL_RECORDS", QByteArray::fromStdString(line));
    yield(QStringLiteral("records-yield-en"), {});
    dark([&] { yield(QStringLiteral("records-yield-en-dark"), {}); });
    return ok ? 0 : 1;
}

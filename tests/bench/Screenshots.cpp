// Renders the bench mid-way through upgrading eight simulated DTUs: most
// still sending, each at its own pace, one hung up and one fallen silent
// mid-way, one stopped before; and mid-way through testing eight, two
// failed. In Chinese, under a dark theme and in English. scripts/screenshots.sh runs it under Xvfb.
// Usage: bench_screenshots OUTPUT_DIR
#include "core/dtu/Requests.h"
#include "dtu-sim/sim/Device.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Shots.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/bench/BenchPage.h"
#include "ui/common/FileDialog.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

struct Unit {
    const char* ownId;
    const char* version;
    const char* signal;
    int delayMs;  // slower answers: the bars spread out
};

constexpr std::size_t kHangsUp = 2, kFallsSilent = 5, kStopped = 7;
constexpr std::size_t kSilentAfterBlocks = 8;

const Unit kUnits[] = {
    {"3A0F00000101", "KV-331 V2.3.1 (simulated)", "+CSQ: 27,99", 0},
    {"3A0F00000102", "KV-331 V2.2.0 (simulated)", "+CSQ: 21,99", 200},
    {"3A0F00000103", "KV-331 V2.3.1 (simulated)", "+CSQ: 18,99", 0},
    {"3A0F00000104", "KV-331 V2.2.0 (simulated)", "+CSQ: 31,99", 100},
    {"3A0F00000105", "KV-331 V2.3.1 (simulated)", "+CSQ: 9,99", 700},
    {"3A0F00000106", "KV-331 V2.1.7 (simulated)", "+CSQ: 15,99", 100},
    {"3A0F00000107", "KV-331 V2.3.1 (simulated)", "+CSQ: 24,99", 400},
    {"3A0F00000108", "KV-331 V2.2.0 (simulated)", "+CSQ: 26,99", 0},
};

// The password prompt in front of an upgrade, answered once it shows.
void AnswerLogin()
{
    QTimer::singleShot(0, [] {
        auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        if (!login)
            return;
        login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("QWPZ"));
        login->findChild<QPushButton*>(QStringLiteral("loginButton"))->click();
    });
}

void Click(BenchPage* page, const char* name)
{
    page->findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

void CheckOnly(BenchModel* model, const std::function<bool(std::size_t)>& which)
{
    for (std::size_t i = 0; i < model->rows().size(); ++i)
        model->setData(model->index(static_cast<int>(i), BenchModel::Port), which(i) ? Qt::Checked : Qt::Unchecked,
                       Qt::CheckStateRole);
}

bool Ended(const BenchRow& row)
{
    return !row.running && row.outcome.has_value();
}

// The eight units of kUnits on paced lines, named as the window names
// simulated DTUs; `options` and `device` tune each before and after it starts.
struct Units {
    std::vector<std::unique_ptr<sim::SimulatedDtu>> dtus;
    QStringList named;
    QHash<QString, QString> names;

    bool Start(const std::function<void(std::size_t, sim::SimulatedDtu::Options&)>& options = {},
               const std::function<void(std::size_t, sim::Device&)>& device = {})
    {
        for (std::size_t i = 0; i < std::size(kUnits); ++i) {
            sim::SimulatedDtu::Options o;
            o.paceLine = true;
            if (options)
                options(i, o);
            dtus.push_back(std::make_unique<sim::SimulatedDtu>(o));
            if (!dtus.back()->Start()) {
                std::fprintf(stderr, "no simulated DTU: %s\n", dtus.back()->error().c_str());
                return false;
            }
            const Unit& u = kUnits[i];
            dtus.back()->WithDevice([&](sim::Device& d) {
                d.Handle(dtu::BuildSetOwnId(u.ownId, false), 0);
                d.version = u.version;
                d.signal = u.signal;
                if (device)
                    device(i, d);
            });
            const QString path = QString::fromStdString(dtus.back()->TerminalPath());
            named << path;
            names.insert(path, QCoreApplication::translate("Startup", "模拟DTU %1").arg(named.size()));
        }
        return true;
    }
};

// One bench, read and then upgraded (the image the file handler gives) as
// a user does it, handed to `shoot` while the transfers are under way;
// false when it never got there.
bool Upgrading(const std::function<void(BenchPage*)>& shoot)
{
    Units units;
    if (!units.Start())
        return false;
    std::vector<std::unique_ptr<sim::SimulatedDtu>>& dtus = units.dtus;
    // Declared after the DTUs: its bench joins the jobs before they go.
    MainWindow window([] { return QStringList{}; }, nullptr, {}, units.names);
    window.SetNamedPorts(units.named);
    window.show();
    window.findChild<QAction*>(QStringLiteral("benchToolbarAction"))->trigger();
    BenchPage* page = window.benchPage();
    BenchModel* model = page->model();
    const auto upgrade = [page] {
        AnswerLogin();
        Click(page, "benchUpgrade");
    };

    Click(page, "benchRead");
    bool ok = RunUntil([&] { return !page->running(); }, 30000);

    // The page's stop stops every job: the stopped one runs alone first.
    CheckOnly(model, [](std::size_t i) { return i == kStopped; });
    upgrade();
    ok = ok && RunUntil([&] { return model->rows()[kStopped].percent >= 40; }, 30000);
    Click(page, "benchStop");
    ok = ok && RunUntil([&] { return !page->running(); }, 30000);

    CheckOnly(model, [](std::size_t i) { return i != kStopped; });
    for (std::size_t i = 0; i < dtus.size(); ++i) {
        sim::Faults faults;
        faults.delayMs = kUnits[i].delayMs;
        faults.hangupAfterBlocks = i == kHangsUp ? 5 : 0;
        dtus[i]->SetFaults(faults);
    }
    upgrade();
    // Silent mid-way, not from the start: its bar shows how far it got.
    sim::SimulatedDtu& silent = *dtus[kFallsSilent];
    ok = ok && RunUntil(
                   [&] {
                       std::size_t blocks = 0;
                       silent.WithDevice([&](sim::Device& d) { blocks = d.blocksReceived(); });
                       return blocks >= kSilentAfterBlocks;
                   },
                   30000);
    sim::Faults mute;
    mute.noReply = true;
    silent.SetFaults(mute);
    ok = ok && RunUntil([&] { return Ended(model->rows()[kHangsUp]) && Ended(model->rows()[kFallsSilent]); }, 30000);
    // The fastest near its end, the slowest far from it.
    ok = ok && RunUntil([&] { return model->rows()[0].percent >= 80; }, 60000);
    if (!ok) {
        std::fprintf(stderr, "the bench did not reach the picture\n");
        return false;
    }
    shoot(page);
    return true;
}

// One bench testing eight units online: two failed at once (a low signal,
// an old version), two passed, the rest waiting for their heartbeats; each
// with the label scanned into its row. Handed to `shoot` then.
bool Testing(const QString& plan, const std::function<void(BenchPage*)>& shoot)
{
    Units units;
    const bool started = units.Start(
        [](std::size_t i, sim::SimulatedDtu::Options& options) {
            options.online = true;
            options.heartbeatMs = i == 0 || i == 3 ? 1000 : 25000;
        },
        [](std::size_t i, sim::Device& d) {
            d.version = i == 5 ? "KV-331 V2.1.7 (simulated)" : "KV-331 V2.3.1 (simulated)";
        });
    if (!started)
        return false;
    MainWindow window([] { return QStringList{}; }, nullptr, {}, units.names);
    window.SetNamedPorts(units.named);
    window.show();
    window.findChild<QAction*>(QStringLiteral("benchToolbarAction"))->trigger();
    BenchPage* page = window.benchPage();
    BenchModel* model = page->model();
    for (std::size_t i = 0; i < model->rows().size(); ++i)
        model->setData(model->index(int(i), BenchModel::Label), QStringLiteral("SN2612-%1").arg(1041 + i), Qt::EditRole);
    ui::SetOpenFileHandler([plan](const QString&) { return plan; });
    Click(page, "benchTest");
    const auto ended = [&] {
        std::size_t n = 0;
        for (const BenchRow& r : model->rows())
            n += Ended(r);
        return n;
    };
    if (!RunUntil([&] { return ended() >= 4; }, 30000)) {
        std::fprintf(stderr, "the test did not reach the picture\n");
        return false;
    }
    shoot(page);
    page->OnStop();
    RunUntil([&] { return !page->running(); }, 30000);
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QDir dir = TitledShotsFolder(argc, argv);
    ui::SetMessageHandler([](const QString&, const QString&, ui::Buttons) { return int(QMessageBox::Ok); });
    ui::SetChoiceHandler([](const QString&, const QStringList&) { return 0; });

    QTemporaryDir temporary;
    const QString image = temporary.filePath(QStringLiteral("KV331_APP_V2.4.bin"));
    {
        QFile f(image);
        QByteArray bytes(64 * 1024, '\0');
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 + (i >> 8));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }
    ui::SetOpenFileHandler([image](const QString&) { return image; });

    bool ok = Upgrading([&dir](BenchPage* page) {
        SaveShot(page, dir, QStringLiteral("bench"));
        // The same moment under a dark theme: the bars and the red stay readable.
        const QPalette light = QApplication::palette();
        const QString style = QApplication::style()->name();
        UseDarkPalette();
        SaveShot(page, dir, QStringLiteral("bench-dark"));
        QApplication::setStyle(style);
        QApplication::setPalette(light);
    });

    const QString plan = temporary.filePath(QStringLiteral("KV331-line-test.toml"));
    {
        QFile f(plan);
        const QByteArray text = "name = \"KV-331 line test\"\nversion = \"KV-331 V2.3*\"\n"
                                "signal = { min = 15, max = 31 }\n[server]\nlisten = \"127.0.0.1:0\"\n"
                                "register_within = \"20s\"\nheartbeat_within = \"30s\"\n[echo]\nbytes = 256\n"
                                "within = \"3s\"\n";
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            return 1;
    }
    ok = Testing(plan, [&dir](BenchPage* page) {
        SaveShot(page, dir, QStringLiteral("bench-test"));
        const QPalette light = QApplication::palette();
        const QString style = QApplication::style()->name();
        UseDarkPalette();
        SaveShot(page, dir, QStringLiteral("bench-test-dark"));
        QApplication::setStyle(style);
        QApplication::setPalette(light);
    }) && ok;

    // English captions are longer.
    ui::InstallLanguage(ui::Language::English);
    QApplication::setApplicationDisplayName(QCoreApplication::translate("Startup", "DTU参数配置工具"));
    ui::SetOpenFileHandler([image](const QString&) { return image; });
    ok = Upgrading([&dir](BenchPage* page) { SaveShot(page, dir, QStringLiteral("bench-en")); }) && ok;
    ok = Testing(plan, [&dir](BenchPage* page) { SaveShot(page, dir, QStringLiteral("bench-test-en")); }) && ok;
    ui::SetOpenFileHandler(nullptr);
    ui::SetChoiceHandler(nullptr);
    return ok ? 0 : 1;
}

// Renders the records page on a bench's three hundred jobs: all of them and
// the failed ones in Chinese, all of them in English. scripts/screenshots.sh
// runs it under Xvfb.
// Usage: records_screenshots OUTPUT_DIR
#include "driver/records/Store.h"
#include "tests/support/SampleRecords.h"
#include "tests/support/Shots.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Language.h"
#include "ui/records/RecordsPage.h"

#include <QAction>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

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
    ui::InstallLanguage(ui::Language::English);
    QApplication::setApplicationDisplayName(QCoreApplication::translate("Startup", "DTU参数配置工具"));
    shoot(QStringLiteral("records-en"), {});
    return 0;
}

// One language at a time: both translation files are whole and current, every
// page of the window speaks only the chosen language (its kept English
// words and data aside), and dtuctl speaks English whatever the locale.
#include "driver/serial/BufferedPort.h"
#include "dtu-sim/sim/SimulatedDtu.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/LoginDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Language.h"
#include "ui/common/MessageBox.h"
#include "ui/dtu/DtuPage.h"
#include "ui/monitor/MonitorWindow.h"
#include "ui/upgrade/UpgradePage.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QXmlStreamReader>

#include <map>
#include <memory>

namespace {

const QRegularExpression kCjk(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// The words the window keeps in English in both languages (see docs/user-guide.md, "Language"),
// the names of things (models, interfaces, encodings) and the data of a
// simulated DTU. Anything else in Latin letters on a Chinese page is a text
// left untranslated.
const QStringList kKeptWords = {
    // Kept as they always were.
    "Success", "Fail", "Name", "Pwd", "Hex", "APN", "TCP", "Open", "Write", "Read", "No", "reply", "None", "Login",
    // Names.
    "DTU", "HEX", "SMS", "APP", "IAP", "STOP", "CRC", "MHz", "CMNET", "TTL", "RS232", "RS485", "ODD", "EVEN", "GBK",
    "UTF", "CSV", "bps", "Level", "KV", "Tavrin", "Norvale", "dtutool", "dtuctl"};

struct Message {
    QString translation;
    bool finished = false;
};
using Messages = std::map<std::pair<QString, QString>, Message>;  // (context, source)

Messages ReadTs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    Messages messages;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            const QString text = xml.readElementText();
            messages[{context, source}] = {text, finished && !text.isEmpty()};
        }
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(path), qPrintable(xml.errorString()));
    return messages;
}

// The values a text takes: Qt's %1 ... %9 (any order) and printf
// conversions (in order), which a translation must keep.
QStringList Placeholders(const QString& text)
{
    static const QRegularExpression arg(QStringLiteral("%[1-9]"));
    static const QRegularExpression printf(
        QStringLiteral("%[-+ #0]*[0-9]*(?:\\.[0-9]+)?(?:hh|h|ll|l|z|j|t)?[diouxXcsfeEgG]"));
    QStringList args, conversions;
    for (const auto& m : arg.globalMatch(text))
        args << m.captured();
    for (const auto& m : printf.globalMatch(text))
        conversions << m.captured();
    args.sort();
    return args + conversions;
}

QString Plain(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// What a person sees or hears of a widget.
QStringList Texts(QWidget* w)
{
    QStringList texts{w->toolTip(), w->accessibleName(), w->accessibleDescription()};
    if (w->isWindow())
        texts << w->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(w))
        texts << Plain(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        texts << button->text();
    if (auto* box = qobject_cast<QGroupBox*>(w))
        texts << box->title();
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        texts << edit->placeholderText();
    if (auto* bar = qobject_cast<QProgressBar*>(w))
        texts << bar->text();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
        const QAbstractItemModel* model = view->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            texts << model->headerData(c, Qt::Horizontal).toString();
            for (int r = 0; r < model->rowCount(); ++r)
                texts << model->index(r, c).data().toString();
        }
    }
    for (QAction* action : w->actions())
        texts << action->text() << action->toolTip();
    texts.removeAll(QString());
    return texts;
}

// Why a text is not in `language`, or nothing.
QString Foreign(const QString& text, ui::Language language)
{
    if (language == ui::Language::English)
        return text.contains(kCjk) ? QStringLiteral("Chinese") : QString();
    static const QRegularExpression phrase(QStringLiteral("[a-z]{2,} [a-z]{2,} [a-z]{2,}"));
    if (text.contains(phrase))
        return QStringLiteral("English phrase");
    if (text.contains(kCjk) || text.startsWith(u'/'))
        return {};
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{3,}"));
    for (const auto& m : word.globalMatch(text))
        if (!kKeptWords.contains(m.captured()))
            return QStringLiteral("English word \"%1\"").arg(m.captured());
    return {};
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void translationsAreWhole()
    {
        const Messages zh = ReadTs(QStringLiteral(DTU_TS_DIR "/dtutool_zh_CN.ts"));
        const Messages en = ReadTs(QStringLiteral(DTU_TS_DIR "/dtutool_en.ts"));
        QVERIFY(zh.size() > 400);
        QCOMPARE(zh.size(), en.size());
        for (const auto& [file, messages] : {std::pair{"zh_CN", &zh}, std::pair{"en", &en}})
            for (const auto& [key, message] : *messages) {
                const QString where = QStringLiteral("%1: %2: %3").arg(QLatin1String(file), key.first, key.second);
                QVERIFY2(message.finished, qPrintable(where + QStringLiteral(" has no finished translation")));
                QVERIFY2(Placeholders(message.translation) == Placeholders(key.second),
                         qPrintable(where + QStringLiteral(" -> ") + message.translation));
                QVERIFY2(messages != &en || !message.translation.contains(kCjk), qPrintable(where));
                QVERIFY2(zh.count(key) && en.count(key), qPrintable(where + QStringLiteral(" is in one file only")));
            }
    }

    // lupdate over the sources finds exactly the texts the files hold.
    void translationsAreCurrent()
    {
        QTemporaryDir dir;
        const QString ts = dir.filePath(QStringLiteral("current_en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(DTU_TS_DIR "/dtutool_en.ts"), ts));
        QProcess lupdate;
        lupdate.start(QStringLiteral(DTU_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral("-no-obsolete"), QStringLiteral("-tr-function-alias"),
                       QStringLiteral(DTU_TR_ALIASES),
                       QStringLiteral("@" DTU_LUPDATE_SOURCES), QStringLiteral("-ts"), ts});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        const Messages now = ReadTs(ts);
        const Messages kept = ReadTs(QStringLiteral(DTU_TS_DIR "/dtutool_en.ts"));
        for (const auto& [key, message] : now)
            QVERIFY2(kept.count(key), qPrintable(QStringLiteral("not in the .ts files (run the update_translations "
                                                                "target): %1: %2")
                                                     .arg(key.first, key.second)));
        QCOMPARE(now.size(), kept.size());
    }

    void pagesSpeakOneLanguage_data()
    {
        QTest::addColumn<int>("languageIndex");
        QTest::newRow("Chinese") << int(ui::Language::Chinese);
        QTest::newRow("English") << int(ui::Language::English);
    }
    void pagesSpeakOneLanguage()
    {
        QFETCH(int, languageIndex);
        const auto language = static_cast<ui::Language>(languageIndex);
        QVERIFY(ui::InstallLanguage(language));
        QStringList said;
        ui::SetMessageHandler([&said](const QString& caption, const QString& text, ui::Buttons) {
            said << caption << text;
            return int(QMessageBox::Ok);
        });
        sim::SimulatedDtu dtu(sim::SimulatedDtu::Options{});
        QVERIFY2(dtu.Start(), dtu.error().c_str());
        QVERIFY(g_Serial.Open(dtu.TerminalPath(), 115200, 0));
        {
            MainWindow window([] { return QStringList{}; });
            window.show();
            for (const char* action : {"settingsToolbarAction", "dtuToolbarAction", "smsTextToolbarAction",
                                       "smsHexToolbarAction", "tcpToolbarAction", "terminalToolbarAction",
                                       "helpToolbarAction", "monitorToolbarAction", "serverToolbarAction"})
                window.findChild<QAction*>(QLatin1String(action))->trigger();
            // The login prompt, heard while it asks, then the upgrade page behind it.
            QStringList prompt;
            QTimer::singleShot(0, &window, [&prompt] {
                auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
                if (!login)
                    return;
                prompt << Texts(login);
                for (QWidget* w : login->findChildren<QWidget*>())
                    prompt << Texts(w);
                login->findChild<QLineEdit*>(QStringLiteral("passwordEdit"))->setText(QStringLiteral("QWPZ"));
                login->findChild<QPushButton*>(QStringLiteral("loginButton"))->click();
            });
            window.findChild<QAction*>(QStringLiteral("upgradeToolbarAction"))->trigger();
            QVERIFY(window.upgradePage() && window.upgradePage()->isVisible());
            DtuPage* page = window.dtuPage();
            QVERIFY(page && page->isVisible());
            // Two refusals, a request the monitor decodes, and the wireless dialog.
            for (const char* name : {"phoneEdit", "portEdit"})
                page->findChild<QLineEdit*>(QLatin1String(name))->clear();
            for (const char* name : {"model330MRadio", "addPhoneButton", "setPortButton", "readNetButton",
                                     "model331Radio", "wirelessButton"}) {
                auto* button = page->findChild<QAbstractButton*>(QLatin1String(name));
                QVERIFY2(button, name);
                button->click();
            }
            const MonitorModel* rows = window.monitor()->model();
            QTRY_VERIFY_WITH_TIMEOUT(rows->rowCount() >= 2, 3000);
            const QString meaning = rows->index(1, MonitorModel::Meaning).data().toString();
            QCOMPARE(meaning.contains(kCjk), language == ui::Language::Chinese);
            QVERIFY(said.size() >= 4);
            QVERIFY(!prompt.isEmpty());

            // Qt's own words follow the language too.
            const auto* buttons = window.findChild<AboutDialog*>()->findChild<QDialogButtonBox*>();
            QCOMPARE(buttons->button(QDialogButtonBox::Ok)->text(),
                     language == ui::Language::Chinese ? QStringLiteral("确定") : QStringLiteral("OK"));

            QStringList foreign;
            for (const QString& text : said + prompt)
                if (const QString why = Foreign(text, language); !why.isEmpty())
                    foreign << why + QStringLiteral(" in a message or the login prompt: ") + text;
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (!top->isVisible())
                    continue;
                QList<QWidget*> widgets = top->findChildren<QWidget*>();
                widgets.prepend(top);
                for (QWidget* w : widgets)
                    if (w->isVisibleTo(top) || w == top)
                        for (const QString& text : Texts(w))
                            if (const QString why = Foreign(text, language); !why.isEmpty())
                                foreign << QStringLiteral("%1 on %2 (%3): %4")
                                               .arg(why, w->objectName(), QLatin1String(w->metaObject()->className()),
                                                    text);
            }
            foreign.removeDuplicates();
            QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(u'\n')));
        }
        g_Serial.Close();
        ui::SetMessageHandler(nullptr);
    }

    // A locale never makes dtuctl speak Chinese, and neither do the texts it
    // shares with the window.
    void commandLineSpeaksEnglish()
    {
        QVERIFY(ui::InstallLanguage(ui::Language::Chinese));  // the window's, not dtuctl's
        sim::SimulatedDtu dtu(sim::SimulatedDtu::Options{});
        QVERIFY2(dtu.Start(), dtu.error().c_str());
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("bad.toml"));
        QFile file(profile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("phones = [\"1370000111\", \"1370000111x\"]\nids = [\"A0B1\"]\n"
                   "[server]\ndomain = \"\"\nport = 70000\n");
        file.close();
        const QString port = QString::fromStdString(dtu.TerminalPath());
        const QStringList cases[] = {
            {QStringLiteral("-p"), QStringLiteral("/dev/dtu-nowhere"), QStringLiteral("read")},
            {QStringLiteral("write"), QStringLiteral("--check"), profile},
            {QStringLiteral("-p"), port, QStringLiteral("read")},
            {QStringLiteral("-p"), port, QStringLiteral("send"), QStringLiteral("E9")},
            {QStringLiteral("ports")},
        };
        for (const QStringList& args : cases) {
            QProcess dtuctl;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
            env.insert(QStringLiteral("LC_ALL"), QStringLiteral("zh_CN.UTF-8"));
            dtuctl.setProcessEnvironment(env);
            dtuctl.start(QStringLiteral(DTU_CTL), args);
            QVERIFY(dtuctl.waitForFinished(30000));
            const QString out = QString::fromUtf8(dtuctl.readAllStandardOutput() + dtuctl.readAllStandardError());
            QVERIFY2(!out.trimmed().isEmpty(), qPrintable(args.join(u' ')));
            QVERIFY2(!out.contains(kCjk), qPrintable(args.join(u' ') + QStringLiteral(":\n") + out));
        }
    }

    void languageIsChosenInOrder_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("chosen");
        const int zh = int(ui::Language::Chinese);
        const int en = int(ui::Language::English);
        QTest::newRow("nothing set") << QString() << QString() << QString() << zh;
        QTest::newRow("C locale") << "" << "" << "C.UTF-8" << zh;
        QTest::newRow("Chinese locale") << "" << "" << "zh_CN.UTF-8" << zh;
        QTest::newRow("German locale") << "" << "" << "de_DE.UTF-8" << zh;
        QTest::newRow("English locale") << "" << "" << "en_US.UTF-8" << en;
        QTest::newRow("bare en") << "" << "" << "en" << en;
        QTest::newRow("not en_") << "" << "" << "eo.UTF-8" << zh;
        QTest::newRow("remembered beats locale") << "" << "zh" << "en_GB.UTF-8" << zh;
        QTest::newRow("remembered English") << "" << "en" << "zh_CN.UTF-8" << en;
        QTest::newRow("option beats all") << "zh" << "en" << "en_US.UTF-8" << zh;
        QTest::newRow("option English") << "en" << "zh" << "" << en;
        QTest::newRow("unknown remembered") << "" << "fr" << "en_US" << en;
    }
    void languageIsChosenInOrder()
    {
        QFETCH(QString, option);
        QFETCH(QString, remembered);
        QFETCH(QString, locale);
        QFETCH(int, chosen);
        QCOMPARE(int(ui::ChooseLanguage(option, remembered, locale)), chosen);
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"

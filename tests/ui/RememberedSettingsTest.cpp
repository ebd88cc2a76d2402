// The tool remembers its port, line settings, window places and the chosen
// language across a restart, in a configuration folder of the test's own.
#include "driver/serial/BufferedPort.h"
#include "tests/support/OwnSettings.h"
#include "tests/support/Pty.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/common/Language.h"
#include "ui/common/Settings.h"
#include "ui/dtu/DtuPage.h"
#include "ui/serial/SerialSettingsPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class RememberedSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        g_Serial.Close();
        ui::RememberSettings(false);
    }

    // The about page's language is for the next start: remembered, and
    // the window as it is meanwhile.
    void languageChoiceWaitsForTheNextStart()
    {
        ui::RememberSettings(true);
        ui::Remembered()->clear();
        QVERIFY(!ui::RememberedLanguage());
        AboutDialog about(nullptr);
        auto* combo = about.findChild<QComboBox*>(QStringLiteral("languageCombo"));
        const int english = combo->findData(ui::LanguageName(ui::Language::English));
        combo->setCurrentIndex(english);
        emit combo->activated(english);
        QVERIFY(ui::RememberedLanguage() == ui::Language::English);
        QVERIFY(ui::CurrentLanguage() == ui::Language::Chinese);
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("languageNote"))->text().isEmpty());
    }

    void portSettingsAndPlacesComeBack()
    {
        ui::RememberSettings(true);
        ui::Remembered()->clear();
        auto pty = std::make_unique<PtyPair>();
        const QString path = QString::fromStdString(pty->terminalPath());
        const QRect place(140, 60, 1200, 700);
        const QPoint settingsPlace(310, 120);
        {
            MainWindow window([] { return QStringList{}; });
            window.show();
            QVERIFY(!window.OpenRememberedPort());
            window.findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
            SerialSettingsPage* settings = window.settingsPage();
            settings->findChild<QComboBox*>(QStringLiteral("portCombo"))->setEditText(path);
            auto* baud = settings->findChild<QComboBox*>(QStringLiteral("baudCombo"));
            baud->setCurrentIndex(baud->findText(QStringLiteral("9600")));
            settings->findChild<QComboBox*>(QStringLiteral("parityCombo"))->setCurrentIndex(2);
            settings->findChild<QCheckBox*>(QStringLiteral("reconnectBox"))->setChecked(false);
            settings->findChild<QPushButton*>(QStringLiteral("openButton"))->click();
            QVERIFY2(g_Serial.IsOpen(), qPrintable(settings->failureText()));
            window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
            window.dtuPage()->setGeometry(place);
            window.close();
        }
        g_Serial.Close();
        {
            MainWindow window([] { return QStringList{}; });
            window.show();
            QVERIFY(window.OpenRememberedPort());
            QCOMPARE(QString::fromStdString(g_Serial.PortPath()), path);
            QCOMPARE(g_Serial.BaudRate(), 9600u);
            QCOMPARE(g_Serial.Parity(), 2u);
            QVERIFY(!window.settingsPage()->findChild<QCheckBox*>(QStringLiteral("reconnectBox"))->isChecked());
            window.findChild<QAction*>(QStringLiteral("dtuToolbarAction"))->trigger();
            QCOMPARE(window.dtuPage()->geometry(), place);
            window.settingsPage()->setGeometry(QRect(settingsPlace, window.settingsPage()->size()));
            window.close();
        }
        g_Serial.Close();
        // A port that went away is not opened, nor anything in its place;
        // the settings page comes back where it was, however it is opened.
        pty.reset();
        MainWindow window([] { return QStringList{}; });
        window.findChild<QAction*>(QStringLiteral("settingsToolbarAction"))->trigger();
        QCOMPARE(window.settingsPage()->geometry().topLeft(), settingsPlace);
        QVERIFY(!window.OpenRememberedPort());
        QVERIFY(!g_Serial.IsOpen());
    }
};

int main(int argc, char** argv)
{
    return RunWithOwnSettings<RememberedSettingsTest>(argc, argv);
}

#include "RememberedSettingsTest.moc"

// The options, the send history and the saved commands, remembered from
// one run to the next.
#include "ui/terminal/TerminalWindow.h"

#include "ui/common/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>

namespace {

// Where the terminal keeps what it remembers in the tool's settings.
namespace key {
const char kHistory[] = "terminal/history";
const char kCommands[] = "terminal/commands";
const char kView[] = "terminal/view";
const char kEncoding[] = "terminal/encoding";
const char kStamps[] = "terminal/timestamps";
const char kShowSent[] = "terminal/showSent";
const char kHexSend[] = "terminal/hexSend";
const char kLineEnding[] = "terminal/lineEnding";
const char kInterval[] = "terminal/intervalMs";
const char kViewLines[] = "terminal/viewLines";
}  // namespace key

void SelectStored(QComboBox* box, const QVariant& stored)
{
    bool ok = false;
    const int index = stored.toInt(&ok);
    if (ok && index >= 0 && index < box->count())
        box->setCurrentIndex(index);
}

}  // namespace

void TerminalWindow::LoadSettings()
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    QSettings& s = *settings;
    loading_ = true;
    history_ = terminal::History(s.value(key::kHistory).toStringList());
    SelectStored(viewCombo_, s.value(key::kView));
    SelectStored(encodingCombo_, s.value(key::kEncoding));
    SelectStored(endingCombo_, s.value(key::kLineEnding));
    stampsCheck_->setChecked(s.value(key::kStamps, stampsCheck_->isChecked()).toBool());
    showSentCheck_->setChecked(s.value(key::kShowSent, showSentCheck_->isChecked()).toBool());
    hexCheck_->setChecked(s.value(key::kHexSend, false).toBool());
    intervalSpin_->setValue(s.value(key::kInterval, intervalSpin_->value()).toInt());
    viewLinesSpin_->setValue(s.value(key::kViewLines, viewLinesSpin_->value()).toInt());
    const int n = s.beginReadArray(key::kCommands);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        terminal::SavedCommand c{s.value("caption").toString(), s.value("text").toString(), s.value("hex").toBool()};
        if (!c.text.isEmpty())
            commands_ << c;
    }
    s.endArray();
    loading_ = false;
}

void TerminalWindow::SaveOptions()
{
    const auto settings = ui::Remembered();
    if (loading_ || !settings)
        return;
    QSettings& s = *settings;
    s.setValue(key::kView, viewCombo_->currentIndex());
    s.setValue(key::kEncoding, encodingCombo_->currentIndex());
    s.setValue(key::kStamps, stampsCheck_->isChecked());
    s.setValue(key::kShowSent, showSentCheck_->isChecked());
    s.setValue(key::kHexSend, hexCheck_->isChecked());
    s.setValue(key::kLineEnding, endingCombo_->currentIndex());
    s.setValue(key::kInterval, intervalSpin_->value());
    s.setValue(key::kViewLines, viewLinesSpin_->value());
}

void TerminalWindow::SaveCommands()
{
    const auto settings = ui::Remembered();
    if (!settings)
        return;
    QSettings& s = *settings;
    s.remove(key::kCommands);
    s.beginWriteArray(key::kCommands, int(commands_.size()));
    for (int i = 0; i < commands_.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue("caption", commands_[i].caption);
        s.setValue("text", commands_[i].text);
        s.setValue("hex", commands_[i].hex);
    }
    s.endArray();
}

void TerminalWindow::Remember(const QString& line)
{
    if (line.isEmpty())
        return;
    history_.Add(line);
    if (const auto settings = ui::Remembered())
        settings->setValue(key::kHistory, history_.entries());
}

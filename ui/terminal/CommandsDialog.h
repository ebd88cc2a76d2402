// The terminal's saved commands, and the small dialog in which the user
// edits them: a caption for the button, the text it sends, and whether that
// text is hex digits.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QTableWidget;

namespace terminal {

struct SavedCommand {
    QString caption;
    QString text;
    bool hex = false;
    bool operator==(const SavedCommand&) const = default;
};

}  // namespace terminal

class CommandsDialog : public QDialog {
    Q_OBJECT
public:
    CommandsDialog(const QList<terminal::SavedCommand>& commands, QWidget* parent);

    // The rows as edited; a row with nothing to send is left out, and one
    // without a caption is captioned with its text.
    QList<terminal::SavedCommand> commands() const;

private slots:
    void OnAdd();
    void OnRemove();

private:
    void AddRow(const terminal::SavedCommand& command);

    QTableWidget* table_;
};

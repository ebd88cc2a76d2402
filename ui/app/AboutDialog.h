// The about page: what the tool is, its version, where to read more, and
// the language of the window from the next start on.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

private:
    void OnLanguage(int index);

    QComboBox* language_ = nullptr;
    QLabel* note_ = nullptr;
};

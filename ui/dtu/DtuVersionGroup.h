// The DTU page's version and signal strength, read into one field.
#pragma once

#include "ui/dtu/DtuGroup.h"

#include <QObject>

#include <string>

class QGroupBox;
class QLineEdit;
class QPushButton;

class DtuVersionGroup : public QObject {
    Q_OBJECT
public:
    DtuVersionGroup(DtuPageLink& page, QWidget* parent);

    QGroupBox* box() const { return box_; }
    // The version's or the signal's answer.
    void Show(const std::string& text);

private slots:
    void OnReadVersion();
    void OnReadSignal();

private:
    DtuPageLink& page_;
    QGroupBox* box_ = nullptr;
    QLineEdit* text_ = nullptr;
    QPushButton* readVersion_ = nullptr;
    QPushButton* readSignal_ = nullptr;
};

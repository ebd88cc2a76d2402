// The tool's message boxes answered in place of a person, from Start to
// Stop, and what each of them said kept for the test to look at.
#pragma once

#include "ui/common/MessageBox.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class MessageBoxes {
public:
    struct Box {
        QString caption;
        QString text;
        ui::Buttons buttons;
    };

    MessageBoxes() = default;
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
    // A test that fails before Stop must not leave a handler behind that
    // points at a recorder which is gone.
    ~MessageBoxes() { Stop(); }

    // Forgets the boxes and answers of the test before.
    void Start()
    {
        shown.clear();
        answer = QMessageBox::Ok;
        answerFor = nullptr;
        duringNext = nullptr;
        ui::SetMessageHandler([this](const QString& caption, const QString& text, ui::Buttons buttons) {
            const Box box{caption, text, buttons};
            shown.push_back(box);
            if (duringNext)
                std::exchange(duringNext, nullptr)();
            return answerFor ? answerFor(box) : answer;
        });
        started_ = true;
    }
    void Stop()
    {
        if (started_)
            ui::SetMessageHandler(nullptr);
        started_ = false;
    }

    QStringList texts() const
    {
        QStringList all;
        for (const Box& box : shown)
            all << box.text;
        return all;
    }

    std::vector<Box> shown;
    // The button pressed on every box, unless answerFor is set.
    int answer = QMessageBox::Ok;
    std::function<int(const Box&)> answerFor;
    // Runs once inside the next box, while the page waits for its answer.
    std::function<void()> duringNext;

private:
    bool started_ = false;
};

// The upgrade page as a user reaches it: the simulated DTU on a
// pseudo-terminal, g_Serial open on it, the main window driving frame
// completion with its tick, and the page shown after the login prompt.
// Shared by the page tests, the screenshots and the page benchmark.
#pragma once

#include "dtu-sim/sim/SimulatedDtu.h"
#include "tests/support/Shots.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class UpgradePage;
class QDir;
class MainWindow;
class QLabel;
class QLineEdit;
class QProgressBar;
class QWidget;
class QPushButton;

class PageHarness {
public:
    explicit PageHarness(sim::Faults faults = {});
    ~PageHarness();
    PageHarness(const PageHarness&) = delete;
    PageHarness& operator=(const PageHarness&) = delete;

    // Empty when all is up, else what failed.
    const QString& error() const { return error_; }

    MainWindow& window() { return *window_; }
    UpgradePage* page() const { return page_; }
    sim::SimulatedDtu& dtu() { return *dtu_; }

    QPushButton* button(const char* name) const;
    QLineEdit* pathEdit() const;
    QProgressBar* progressBar() const;
    QLabel* label(const char* name) const;

    // What the DTU has taken of the image so far.
    std::vector<std::uint8_t> received();
    std::size_t blocksReceived();

private:
    std::unique_ptr<sim::SimulatedDtu> dtu_;
    std::unique_ptr<MainWindow> window_;
    UpgradePage* page_ = nullptr;
    QString error_;
};

// `n` bytes that differ from block to block, so a block sent twice or out of
// order shows.
std::vector<std::uint8_t> Pattern(std::size_t n, std::uint8_t seed = 0);


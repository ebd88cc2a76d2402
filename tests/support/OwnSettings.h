// A Qt test program whose remembered settings live in a folder of its own,
// so that no user's settings file is read or written.
#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

template <class Test>
int RunWithOwnSettings(int argc, char** argv)
{
    // Before any settings are read: the tests' own configuration folder.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("dtutool"));
    QApplication::setApplicationName(QStringLiteral("dtutool"));
    Test test;
    return QTest::qExec(&test, argc, argv);
}

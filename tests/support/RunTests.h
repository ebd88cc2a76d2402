// A Qt test program of several test classes.
#pragma once

#include <QApplication>
#include <QTest>

template <class Test>
int RunTest(int argc, char** argv)
{
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Runs each class in turn, its object gone before the next one is made;
// fails if any of them failed.
template <class... Tests>
int RunTests(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    ((status |= RunTest<Tests>(argc, argv)), ...);
    return status;
}

#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <functional>

/// The main of a benchmark of widgets: an application on the offscreen platform unless
/// another is asked for. beforeQuit runs while the application still exists, for widgets
/// the benchmarks kept.
inline int runWidgetBenchmarks(int argc, char **argv, const std::function<void()> &beforeQuit = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeQuit)
        beforeQuit();
    return 0;
}

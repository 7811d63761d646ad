#pragma once

#include <QProcess>

// The load a benchmark measures under: a second process of the same program,
// started with LoadChildArg, keeps both cores busy until it is killed.
inline constexpr char LoadChildArg[] = "--load-child";

// The second process's work: two threads that spin until killed.
int RunLoad();

// Starts the second process; it ends with Process.
void StartLoad(QProcess& Process);

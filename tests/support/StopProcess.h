#pragma once

class QProcess;

// Ends a process a test started: asks it to terminate, and kills it if it has not ended in five
// seconds.
void stopProcess(QProcess& process);

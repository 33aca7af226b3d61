#pragma once

#include <QByteArray>
#include <optional>

// What an ELF header says of the machine a program runs on.
struct ElfMachine {
    quint8 elfClass = 0; // 1: 32 bits, 2: 64 bits
    quint8 byteOrder = 0; // 1: little-endian, 2: big-endian
    quint16 machine = 0; // e_machine, such as 62 for x86-64

    bool operator==(const ElfMachine&) const = default;
};

namespace ElfExecutable {

// The class, byte order and machine of an ELF file's header; nothing when the bytes are no ELF header.
std::optional<ElfMachine> machineOf(const QByteArray& image);

// The same of the running program, read from its own file.
std::optional<ElfMachine> running();

// True when the bytes are a program this machine can start as it starts the running one: an ELF
// file of the running program's class, byte order and machine, of a type that runs (an executable
// or a position-independent one), with an entry point and a loadable segment within the file.
bool runsHere(const QByteArray& image);

} // namespace ElfExecutable

#pragma once

namespace kiv {

// Keeps what the process holds (passwords, decrypted text) out of core files and away from other
// processes of the same account: no core dump is written, and /proc/<pid> and ptrace attach
// (gdb, gcore) are left to root. Call first thing in main. False when the system refused either
// step; the program still runs, only less shielded.
bool ProtectProcessMemory();

}  // namespace kiv

#pragma once
// File and memory access for the crash path: plain system calls only,
// usable in crash context.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

namespace FTR {

// Creates or truncates a file for writing; -1 on failure.
int safeCreate(const char* path);
int safeOpenRead(const char* path);
bool safeWriteAll(int fd, const void* data, size_t size);
// Reads up to `size` bytes (stopping only at the end or an error).
ssize_t safeReadAll(int fd, void* data, size_t size);
void safeClose(int fd);
// Copies memory of this process without ever faulting: false for unmapped
// or unreadable addresses.
bool safeReadMemory(uint64_t address, void* out, size_t size);
// Writes `size` bytes of this process's memory to `fd`; returns how many
// could be written before an unreadable page stopped it.
size_t safeWriteMemory(int fd, uint64_t address, size_t size);
// Milliseconds of a monotonic clock.
int64_t safeNowMs();
void safeSleepMs(int ms);
pid_t safeThreadId();

} // namespace FTR

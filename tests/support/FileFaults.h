// Fault injection into the framework's file operations (g_fileOps): counts the
// creates, writes, flushes, closes and moves of the writers, and makes the Nth
// one fail, or write only part of its bytes. For sweeps: a clean run gives the
// list of operations, then a run per point makes that one fail.
#ifndef TESTS_FILEFAULTS_H
#define TESTS_FILEFAULTS_H

#include <functional>
#include <string>

class FileFaults
{
public:
    // Death: the operation and every one after it fail without doing
    // anything, as if the process had died there (handles are still closed,
    // as the system closes a dead process's), until the next Arm.
    enum Kind { Fail, ShortWrite, Death };

    FileFaults();    // counting entries in place; nothing fails yet
    ~FileFaults();   // the system's operations back

    // Restarts the count; operation n (1-based) fails as told. n = 0: none.
    void Arm(int n, Kind kind = Fail);
    // The operations counted since Arm, one letter each: c create, w write,
    // f flush, x close, m move.
    const std::string& Log() const;
    bool Fired() const;   // the armed operation was reached
    // Every read returns half the bytes asked for (at least one fewer).
    void ShortReads(bool on);
    // Removes count too (letter r), and can be the armed operation.
    void CountRemoves(bool on);

    // Calls `point` once for every operation of `ops` (a copy of a clean run's Log)
    // failing, and once more for every write writing half, each under a trace
    // that names the point; `point` sets its files up and then arms (n, kind).
    // Returns the number of points.
    static int Sweep(std::string ops, const std::function<void(int n, Kind kind)>& point);
};

#endif

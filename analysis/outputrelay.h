#pragma once

#include <iosfwd>
#include <string>

// Standard output of the window modes, written by a thread of its own: the
// window's event loop, the run and the program's end hand their lines over
// and go on, so a reader that stops reading (`tavrel | less`, not scrolled)
// holds up only that thread. Lines stay whole and in their order. A run
// waits once 256 KiB of its lines wait for the reader; the window's own
// lines never wait (past a further room of their own they are dropped);
// and when the program ends, what standard output does not take without a
// wait for its reader is dropped: the lines are a courtesy. A write that
// fails (no reader, a full disk, a file size limit) drops what it carried.

// Starts the relay's thread, once; false when the system refuses a thread,
// and then every line is written by the thread that gives it, as in batch.
bool start_output_relay();

// Where a run's lines go while the relay runs; one thread at a time writes
// to it. Each line is handed over whole, at its std::endl.
std::ostream& relayed_run_lines();

// Hands `line` and a newline over, from any thread, without waiting; false
// when the relay has not been started (the caller writes the line itself).
// Once the relay has ended, the line is dropped.
bool relay_line(const std::string& line);

// From now on no line waits for room; one that does not fit is dropped. For
// a program that is about to end and waits for its run.
void stop_output_waits();

// The program's end: standard output gets the lines that wait, for as long
// as it takes them without a wait for its reader; then the relay takes no
// more. With `last_line`, that line (and a newline) is the last taken:
// every line given before it goes out first, and none given after it; it
// needs no memory, for an end where nothing else may run. From any thread,
// any number of times. False when the relay does not run: the caller
// writes its last line itself.
bool end_output_relay(const char* last_line = nullptr);

#pragma once

// How the program's process takes the signals that users, pipes and file
// size limits send it.

// Gives the signals that end the program at a user's request (INT, TERM,
// HUP and QUIT) back the dispositions the program was started with:
// ignored when they were ignored (as nohup starts a program), their
// default action otherwise. The libraries that MPI loads take SIGHUP for
// a debugging aid of their own as they load, and again when MPI starts;
// then a closed terminal or a job system's SIGHUP would not end a run.
// Call at the start of main, and again once MPI has started.
void restore_start_dispositions();

// Standard output carries progress lines, a courtesy: once it cannot take
// more, because its reader has gone (`| head -1`) or a file passes the file
// size limit (`prlimit --fsize`), its writes fail and the lines are
// dropped, instead of SIGPIPE or SIGXFSZ ending the run and losing its
// tree. (A full disk or an I/O error raises no signal: the write fails
// alike.) The tree file's own writes report a broken pipe or a file too
// large as before.
void drop_unwritable_output();

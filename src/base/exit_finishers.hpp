// Work still to be done when the process ends early, through a fatal error
// or an interrupting signal: completing the headers of the file being
// written, so that what was written so far stays usable. A writer adds its
// finisher while its file is open and removes it when it closes the file
// the ordinary way.
#pragma once

using ExitFinisher = void (*)();

void add_exit_finisher(ExitFinisher finisher);
void remove_exit_finisher(ExitFinisher finisher);

// A thread that writes outputs for the main one (an output stage) is brought
// to a stop by its stopper before anything of an early end is done, so the
// finishers and the last words run alone. One at a time; nullptr removes it.
void set_exit_stopper(ExitFinisher stopper);
// Runs the stopper, once, when one is set.
void run_exit_stopper();

// Runs the stopper, then every finisher added and not removed, the latest first. Each is
// removed before it runs, so a failure inside one never runs it again.
void run_exit_finishers();

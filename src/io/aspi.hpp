// CD-ROM drives through ASPI: loading, the drive scan and the SCSI commands.
// The drive table itself is in disc/aspi_drives.hpp.
#pragma once

#include <cstdint>

#include "format/aspi/aspi_block.hpp"

// How the drive layer's start went.
enum class AspiOpenResult { Ready, NotLoaded, NoHost, NoDrive, CommandFailed };
struct AspiOpenOutcome {
  AspiOpenResult result;
  uint8_t status = 0;  // CommandFailed: the failed request's status
};

// Loads the module, scans every adapter for CD drives that read Mode 2
// Form 1 and Form 2, and fills the drive table; the first drive becomes the
// chosen one. Ready when at least one drive was found.
AspiOpenOutcome try_aspi_open();

// try_aspi_open, ending the process (-7) when the module, a host or a drive
// is missing or a command of the scan failed.
void aspi_open();

// Chooses the first drive with this adapter and target, else the first drive.
void select_cd_drive(int32_t adapter, int32_t target);

// SET CD SPEED (fastest) to the chosen drive; a failure ends the process.
void set_cd_speed();

// Finds how many sectors one READ CD of the chosen drive delivers, trying 1
// up to limit; the result replaces the drive's max_sectors. Returns 0, or 1
// (nothing changed) when the read buffer cannot be allocated.
int probe_max_sectors(int32_t limit, bool show_progress);

// REQUEST SENSE to the chosen drive; the answer is not used.
void request_sense();

// Ends the process (-7) with the advice that fits a failed request's status.
[[noreturn]] void aspi_command_failed(uint8_t status);

// One SCSI request sent through the module and waited for; returns its
// final status.
uint8_t aspi_execute(const ScsiCommand& command);

// The drive list heading and one line per drive of the table.
void print_cd_drives();

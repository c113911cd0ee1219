// Translation between an ASPI SCSI request and the kernel's SG_IO request:
// the CDB, data direction and length going in; the SCSI status, sense data
// and errors coming back as ASPI statuses.
#pragma once

#include <scsi/sg.h>

#include <cstdint>

#include "format/aspi/aspi_block.hpp"

// Sense bytes the kernel may return; more than the block's sense area holds.
constexpr int kSgSenseBytes = 32;
// Time the kernel gives one command, in milliseconds (a drive spinning up
// and retrying a sector needs many seconds).
constexpr unsigned kSgTimeoutMs = 25000;
// Transfers every adapter accepts; a refusal of a longer one is reported as
// a transfer too large for the adapter.
constexpr uint32_t kSgSafeTransferBytes = 64 * 1024;

// Fills header for the command; cdb and sense are buffers that must live
// until the request is done (the CDB is copied into cdb).
void fill_sg_header(const ScsiCommand& command, uint8_t* cdb, uint8_t* sense,
                    sg_io_hdr_t* header);

// The ASPI status of a finished SG_IO: ioctl_result and error_number as the
// ioctl left them, header and its sense data as the kernel filled them.
uint8_t aspi_status_from_sg(int ioctl_result, int error_number, const sg_io_hdr_t& header,
                            const uint8_t* sense);

// Writes the adapter and target status bytes and the sense data (at most
// the block's sense length, at most the sense area) into the request block.
void store_sg_result(uint8_t* block, const sg_io_hdr_t& header, const uint8_t* sense);

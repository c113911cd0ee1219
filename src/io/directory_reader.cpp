// Directory blocks through read_sectors, each directory in a buffer of its own
// size, released when the next one is read or the walk ends.
#include "io/directory_reader.hpp"

#include <cstdlib>

#include "platform/errors.hpp"
#include "io/sector_source.hpp"

DirectoryBuffer::~DirectoryBuffer() { std::free(bytes); }

const uint8_t* read_directory(void* context, uint32_t location, uint32_t sectors) {
  auto* directory = static_cast<DirectoryBuffer*>(context);
  std::free(directory->bytes);
  directory->bytes = static_cast<uint8_t*>(alloc_zeroed(sectors * kUserDataBytes));
  read_sectors(static_cast<int32_t>(location), sectors, directory->bytes);
  return directory->bytes;
}

// libFuzzer target for the chunk reader. Each input is read as a drawing and
// as a settings file; what a drawing read leaves is then saved, loaded and
// saved again, and the two saves must be the same bytes: a reader that loses,
// changes or invents anything the writer wrote shows there. The drawing is
// read a second time in pieces of a few bytes, which must leave the same
// drawing. The test tool kavdump reads every input too.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "model/defaults.h"
#include "model/elem.h"
#include "model/files/kavfile.h"
#include "model/layers.h"
#include "programs/kavdump.h"

namespace {

std::vector<char> save_drawing() {
  char* buf = nullptr;
  std::size_t len = 0;
  std::FILE* f = open_memstream(&buf, &len);
  if (!f) std::abort();
  if (!kavfile_write_drawing(f)) std::abort();
  std::fclose(f);
  std::vector<char> out(buf, buf + len);
  std::free(buf);
  return out;
}

void load(const void* data, std::size_t size, int flags, std::size_t pieces = KAV_READ_PIECE_BYTES) {
  std::FILE* f = fmemopen(const_cast<void*>(data), size, "rb");
  if (!f) return;
  kavfile_read_buffer_bytes = pieces;
  if (kavfile_read_header(f)) kavfile_read_chunks(f, 0, flags);
  kavfile_read_buffer_bytes = KAV_READ_PIECE_BYTES;
  std::fclose(f);
}

// A file's layer set of a name the drawing has already ("Default") takes the
// current layer of the moment it is read, which a saved file has set just
// before; a file without that set, or with its chunks in another order,
// leaves the set's current layer where the next load would not. It is put
// where a load of the saved file puts it.
void settle_default_set() {
  for (LayerSet* s = layer_sets; s; s = s->next)
    if (s->name == "Default") s->current_layer = cur_layer;
}

void new_drawing() {
  drawing_free();
  drawing_init();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool once = [] {
    std::freopen("/dev/null", "w", stdout);  // the reader's notes on unknown chunks
    main_init_defaults();
    return true;
  }();
  (void)once;
  if (size == 0) return 0;

  kavdump(data, size);
  new_drawing();
  load(data, size, KAV_READ_SETTINGS_FILE);
  new_drawing();
  load(data, size, 0);
  settle_default_set();

  const std::vector<char> first = save_drawing();
  new_drawing();
  load(data, size, 0, 1 + data[0] % 7);
  settle_default_set();
  if (save_drawing() != first) __builtin_trap();
  new_drawing();
  load(first.data(), first.size(), 0);
  if (save_drawing() != first) __builtin_trap();
  new_drawing();
  return 0;
}

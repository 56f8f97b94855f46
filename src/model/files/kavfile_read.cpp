// The header, the chunk reader and the whole-drawing writers.

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "model/camera.h"
#include "model/elem.h"
#include "model/files/bytes.h"
#include "model/files/chunk_table.h"
#include "model/files/fio.h"
#include "model/files/fio_read.h"
#include "model/files/kavfile.h"
#include "model/nls.h"
#include "model/ui.h"

int32_t file_version = KAV_FILE_VERSION;
int layer_remap_old = 0;
int loaded_count = 0;
std::size_t kavfile_read_buffer_bytes = KAV_READ_PIECE_BYTES;

namespace {

// The file being read has 16-bit chunk sizes (a KAVV header).
bool sizes16 = false;

// The translated singular (n = 1) or plural form of a counted message, its
// first "%d" replaced by n.
std::string counted(int n, const char* one, const char* many) {
  std::string s = nls_translate(n == 1 ? one : many);
  const std::size_t at = s.find("%d");
  if (at != std::string::npos) s.replace(at, 2, std::to_string(n));
  return s;
}

void adopt(std::unique_ptr<ElemHeader> e, int mark, bool elements_only, CameraActivation& cameras) {
  // Point marks are never stored: a record read starts with all of them 0.
  e->mark = static_cast<uint8_t>(mark);
  auto* camera = elem_as<CameraElem>(e.get());
  if (camera && elements_only) camera->active = 0;
  elem_adopt(std::move(e));
  ++loaded_count;
  // The camera that was active when the drawing was saved sets the
  // perspective view again; of several, the last one read stays active.
  if (camera && camera->active == 1) cameras.activate(camera);
}

int read_chunks(ByteReader& r, int mark, int flags, KavReadReport& rep) {
  const bool settings_file = (flags & KAV_READ_SETTINGS_FILE) != 0;
  const bool elements_only = (flags & KAV_READ_ELEMENTS_ONLY) != 0;
  CameraActivation cameras;
  for (;;) {
    if (r.left() < 4) {
      if (r.left() > 0) rep.damaged = 1;  // a few stray bytes: a chunk head was cut
      return 1;
    }
    char tag[5] = {};
    std::string_view t;
    r.block(4, t);
    std::memcpy(tag, t.data(), 4);
    uint32_t size = 0;
    if (sizes16) {
      uint16_t s16;
      if (r.u16(s16)) size = s16;
    } else {
      r.u32(size);
    }
    if (r.failed()) {
      rep.damaged = 1;
      return 1;
    }
    // A known chunk is read field by field and the next chunk starts where
    // its fields end: its size is not used to skip. Older writers left size
    // fields that do not match their bytes. Only a text takes its length from
    // the size; every read is bounded by the bytes left.
    const std::size_t start = r.pos();
    ChunkReadCtx ctx;
    ctx.size = size;
    ctx.trusted = settings_file;
    ReadStatus status = ReadStatus::OK;

    if (const ElemChunk* ec = kavfile_elem_chunk(tag)) {
      std::unique_ptr<ElemHeader> e;
      status = kavfile_read_element(r, *ec, ctx, e);
      if (status == ReadStatus::REJECTED) ++rep.rejected;
      // A settings file lends its settings, never elements.
      if (status == ReadStatus::OK && !settings_file) {
        if (ctx.repaired) ++rep.repaired;
        rep.max_group = std::max<int>(rep.max_group, e->group);
        adopt(std::move(e), mark, elements_only, cameras);
      }
    } else if (const RecordChunk* rc = kavfile_record_chunk(tag)) {
      if ((rc->group == ChunkGroup::FILE_ONLY && !settings_file) || elements_only) {
        // Folders, the help command, screen and backup settings come only
        // from the user's own settings files; a symbol lends no settings.
        if (!r.skip(kavfile_record_payload_bytes(*rc))) status = ReadStatus::FAILED;
      } else {
        status = kavfile_read_record(r, *rc, ctx);
        rep.adjusted += ctx.adjusted;
      }
    } else {
      std::printf("unknown key *%s* size:%u\n", tag, size);
      ++rep.unknown;
      if (!r.skip(size)) status = ReadStatus::FAILED;
    }

    if (status == ReadStatus::FAILED) {
      rep.damaged = 1;
      return ctx.failure_result;
    }
    if (ctx.end_unknown) {
      // A rejected element whose fields cannot be followed to their end:
      // its size is all that is left to find the next chunk.
      r.seek(start);
      if (!r.skip(size)) {
        rep.damaged = 1;
        return 1;
      }
    }
  }
}

}  // namespace

int kavfile_write_header(std::FILE* f) {
  return fio_write_chunk_header(f, "KAVW", 4) && fio_write_i32be(f, &file_version);
}

int kavfile_write_drawing(std::FILE* f) {
  return kavfile_write_header(f) && kavfile_write_settings(f) && kavfile_write_layers(f) &&
         kavfile_write_layer_sets(f) && kavfile_write_elements(f, 0);
}

int kavfile_write_backup(std::FILE* f) {
  return kavfile_write_header(f) && kavfile_write_settings(f) && kavfile_write_layers(f) &&
         kavfile_write_layer_sets(f) && kavfile_write_backup_elements(f);
}

int kavfile_read_header(std::FILE* f) {
  sizes16 = false;
  layer_remap_old = 0;
  // Like every known chunk, the header is read field by field; the chunks
  // start right after its version, whatever its size field says.
  char tag[4];
  if (!fio_read_block(f, tag, 4)) return 0;
  if (std::memcmp(tag, "KAVW", 4) == 0) {
    uint32_t size;
    if (!fio_read_u32be(f, &size)) return 0;
  } else if (std::memcmp(tag, "KAVV", 4) == 0) {
    uint16_t size;
    if (!fio_read_u16be(f, &size)) return 0;
    sizes16 = true;
  } else {
    return 0;
  }
  int32_t version = 0;
  if (!fio_read_i32be(f, &version)) return 0;
  return version;
}

int kavfile_read_chunks(std::FILE* f, int mark, int flags, KavReadReport* report,
                        const char* progress_title) {
  KavReadReport local;
  KavReadReport& rep = report ? *report : local;
  std::optional<FioStreamProgress> progress;
  if (progress_title) progress.emplace(f, progress_title);
  ByteReader r(f, kavfile_read_buffer_bytes);
  if (progress) {
    r.on_refill = [](void* p) { return static_cast<FioStreamProgress*>(p)->look(); };
    r.on_refill_data = &*progress;
  }
  const int result = read_chunks(r, mark, flags, rep);
  if (progress && progress->cancelled()) {
    // Stopped on purpose: nothing is damaged.
    rep.cancelled = 1;
    rep.damaged = 0;
  }
  std::fflush(stdout);
  return result;
}

void kavfile_report_problems(const KavReadReport& rep) {
  std::string text;
  auto add = [&text](const std::string& line) {
    if (!text.empty()) text += '\n';
    text += line;
  };
  if (rep.damaged) add(nls_translate("The file is damaged: only the part before the damage was read."));
  if (rep.rejected)
    add(counted(rep.rejected, nls_mark("%d damaged element was not loaded."),
                nls_mark("%d damaged elements were not loaded.")));
  if (rep.repaired)
    add(counted(rep.repaired, nls_mark("%d element had an invalid layer, pen or line type; it was set to 0."),
                nls_mark("%d elements had an invalid layer, pen or line type; it was set to 0.")));
  if (rep.adjusted)
    add(counted(rep.adjusted, nls_mark("%d setting lay outside its range and was brought into it."),
                nls_mark("%d settings lay outside their range and were brought into it.")));
  // A part of a kind this program does not know (one a later version
  // wrote) is lost when the drawing is saved again.
  if (rep.unknown)
    add(counted(rep.unknown,
                nls_mark("%d part of the file of a kind this program does not know was skipped."),
                nls_mark("%d parts of the file of a kind this program does not know were skipped.")));
  if (!text.empty()) ui().msgbox_error(text.c_str());
}

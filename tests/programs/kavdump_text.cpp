#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "model/elem.h"
#include "model/files/bytes.h"
#include "model/files/chunk_table.h"
#include "model/files/kavfile.h"
#include "programs/kavdump.h"

namespace {

// The shortest text that reads back as the same double.
std::string number(double v) {
  char b[40];
  const auto res = std::to_chars(b, b + sizeof b, v);
  return std::string(b, res.ptr);
}

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32 || c >= 127) {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%02x", c);
      out += b;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// The field's name without the record pointer of the tables.
std::string_view name_of(const Field& f) {
  std::string_view n = f.name;
  if (n.substr(0, 3) == "r->") n.remove_prefix(3);
  return n;
}

// The values of fields as a record holds them.
void print_record(std::string& out, std::span<const Field> fields, const void* cbase) {
  void* base = const_cast<void*>(cbase);
  for (const Field& f : fields) {
    if (f.type == FieldType::COUNT) continue;  // shown with the items
    out += ' ';
    out += f.type == FieldType::ARRAY ? std::string_view(f.array->name) : name_of(f);
    out += '=';
    switch (f.type) {
      case FieldType::F64:
        out += number(*static_cast<const double*>(f.addr(base)));
        break;
      case FieldType::I32:
        out += std::to_string(*static_cast<const int32_t*>(f.addr(base)));
        break;
      case FieldType::U8:
      case FieldType::FLAG32:
        out += std::to_string(*static_cast<const uint8_t*>(f.addr(base)));
        break;
      case FieldType::TEXT:
      case FieldType::OLD_FONT:
        out += quoted(static_cast<const char*>(f.addr(base)));
        break;
      case FieldType::TAIL_TEXT:
        out += quoted(*static_cast<const std::string*>(f.addr(base)));
        break;
      case FieldType::BYTES: {
        const auto* b = static_cast<const unsigned char*>(f.addr(base));
        for (int i = 0; i < f.len; ++i) out += static_cast<char>('0' + (b[i] > 9 ? 9 : b[i]));
        break;
      }
      case FieldType::ARRAY: {
        const std::size_t n = f.array->size(base);
        out += std::to_string(n) + "[";
        for (std::size_t i = 0; i < n; ++i) {
          out += i ? " {" : "{";
          std::string item;
          print_record(item, f.array->fields, f.array->item(base, i));
          out += item.substr(1) + "}";
        }
        out += "]";
        break;
      }
      case FieldType::COUNT:
        break;
    }
  }
}

// The values of a fixed record chunk straight from its bytes.
void print_raw(std::string& out, std::span<const Field> fields, ByteReader& r) {
  for (const Field& f : fields) {
    out += ' ';
    out += name_of(f);
    out += '=';
    switch (f.type) {
      case FieldType::F64: {
        double v = 0;
        r.f64(v);
        out += number(v);
        break;
      }
      case FieldType::I32:
      case FieldType::FLAG32: {
        int32_t v = 0;
        r.i32(v);
        out += std::to_string(v);
        break;
      }
      case FieldType::U8:
      case FieldType::OLD_FONT: {
        uint8_t v = 0;
        r.u8(v);
        out += std::to_string(v);
        break;
      }
      case FieldType::TEXT: {
        std::string_view v;
        r.block(f.len, v);
        out += quoted(v.substr(0, v.find('\0')));
        break;
      }
      case FieldType::BYTES: {
        std::string_view v;
        r.block(f.len, v);
        for (char c : v) out += static_cast<char>('0' + (static_cast<unsigned char>(c) > 9 ? 9 : c));
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

std::string kavdump(const unsigned char* data, std::size_t size) {
  std::string out;
  ByteReader r(data, size);
  std::string_view tag;
  uint32_t hsize = 0;
  int32_t version = 0;
  bool sizes16 = false;
  if (!r.block(4, tag) || (tag != "KAVW" && tag != "KAVV")) return "not a chunk file\n";
  sizes16 = tag == "KAVV";
  uint16_t s16 = 0;
  if (!(sizes16 ? r.u16(s16) : r.u32(hsize)) || !r.i32(version)) return "cut header\n";
  if (sizes16) hsize = s16;
  // As the program reads it: every known chunk, the header too, by its
  // fields; the next chunk starts where they end, whatever the size says.
  out += std::string(tag) + " " + std::to_string(hsize) + " version=" + std::to_string(version) + "\n";

  const int remap_before = layer_remap_old;
  layer_remap_old = 0;  // show the layers as stored
  while (r.left() >= 4) {
    char t[5] = {};
    std::string_view tv;
    r.block(4, tv);
    std::memcpy(t, tv.data(), 4);
    uint32_t csize = 0;
    if (sizes16) {
      uint16_t v = 0;
      r.u16(v);
      csize = v;
    } else {
      r.u32(csize);
    }
    if (r.failed()) {
      out += "cut chunk head\n";
      break;
    }
    const std::size_t start = r.pos();
    out += std::string(t) + " " + std::to_string(csize);
    ChunkReadCtx ctx;
    ctx.size = csize;
    ctx.trusted = true;
    bool cut = false;
    if (const ElemChunk* ec = kavfile_elem_chunk(t)) {
      ByteReader head(r.here(), r.left());
      uint16_t layer = 0, group = 0;
      uint8_t pen = 0, line_type = 0;
      head.u16(layer), head.u16(group), head.u8(pen), head.u8(line_type);
      std::unique_ptr<ElemHeader> e;
      const ReadStatus s = kavfile_read_element(r, *ec, ctx, e);
      if (s == ReadStatus::FAILED) {
        out += " cut\n";
        break;
      }
      out += " layer=" + std::to_string(layer) + " group=" + std::to_string(group) +
             " pen=" + std::to_string(pen) + " line_type=" + std::to_string(line_type);
      if (s == ReadStatus::REJECTED)
        out += " rejected";
      else
        print_record(out, ec->fields, e.get());
      // A rejected element whose end its fields do not tell is skipped by its size.
      if (ctx.end_unknown) {
        r.seek(start);
        cut = !r.skip(csize);
      }
    } else if (const RecordChunk* rc = kavfile_record_chunk(t)) {
      if (r.left() < kavfile_record_payload_bytes(*rc)) {
        out += " cut\n";
        break;
      }
      if (rc->index == ChunkIndex::U8) {
        uint8_t v = 0;
        r.u8(v);
        out += " index=" + std::to_string(v);
      } else if (rc->index == ChunkIndex::I32) {
        int32_t v = 0;
        r.i32(v);
        out += " index=" + std::to_string(v);
      }
      print_raw(out, rc->fields, r);
    } else {
      out += " unknown";
      cut = !r.skip(csize);
    }
    out += '\n';
    if (cut) {
      out += "cut\n";
      break;
    }
  }
  if (!r.failed() && r.left() > 0 && r.left() < 4) out += std::to_string(r.left()) + " stray bytes\n";
  layer_remap_old = remap_before;
  return out;
}

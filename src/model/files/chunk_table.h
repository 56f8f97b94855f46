#pragma once

// The description of every chunk the program writes or reads, and the engine
// that writes, reads, checks and measures chunks from it.
//
// A chunk is described once, as the list of its fields in file order. Each
// field knows its encoding and where its value lives (a member of a record,
// or a global for the settings), so the writer, the reader, the size of a
// chunk, the older chunks that share fields and the range checks all come
// from the same lines. Element chunks, settings chunks and layer chunks use
// the same field list type; see kavfile_elements.cpp and kavfile_records.cpp
// for the tables.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "model/consts.h"
#include "model/fixed_text.h"

class ByteReader;
class ByteWriter;
struct ElemHeader;

enum class FieldType : uint8_t {
  F64,        // double, 8 bytes
  I32,        // int32_t, 4 bytes (the unsigned counts and flags use the same bytes)
  U8,         // uint8_t, 1 byte
  TEXT,       // FixedText<len>: exactly len bytes, text, NUL, zeros
  BYTES,      // uint8_t[len], raw
  FLAG32,     // 4 bytes in the file, a 0/1 byte in memory (read only)
  OLD_FONT,   // 1-byte old font number in the file, a font name in memory (read only)
  COUNT,      // 4 bytes: the number of items of `array`
  ARRAY,      // the items of `array`, each by the array's own fields
  TAIL_TEXT,  // std::string with its NUL; it takes the chunk size minus len bytes
};

enum : uint8_t {
  // A command line or an output file name: taken only from the user's own
  // settings files, never from a drawing, since the program runs it later.
  FIELD_TRUSTED = 1,
  FIELD_PEN = 2,        // 0..7 or PEN_GUIDE; anything else loads as 0
  FIELD_LINE_TYPE = 4,  // 0..7 or the pattern codes 100, 101; anything else loads as 0
};

struct ArrayDesc;
struct ValueRange;
using FieldAddr = void* (*)(void* base);

struct Field {
  const char* name;
  FieldType type;
  uint16_t len = 0;
  FieldAddr addr = nullptr;
  // Accepted integer range; a value outside keeps the current one. lo > hi: any value.
  int32_t lo = 0;
  int32_t hi = -1;
  uint8_t flags = 0;
  const ArrayDesc* array = nullptr;
  // The values a double may hold; one outside is brought into the range
  // (counted in ChunkReadCtx::adjusted). Null: any value.
  const ValueRange* values = nullptr;
};

constexpr Field range(Field f, int32_t lo, int32_t hi) {
  f.lo = lo;
  f.hi = hi;
  return f;
}
constexpr Field within(Field f, const ValueRange& values) {
  f.values = &values;
  return f;
}
constexpr Field flagged(Field f, uint8_t flags) {
  f.flags = static_cast<uint8_t>(f.flags | flags);
  return f;
}

// The variable part of an element: a vector of items.
struct ArrayDesc {
  const char* name;
  std::span<const Field> fields;  // of one item
  int32_t max_items;              // more items: the element is not loaded (0: no limit)
  int failure_result;             // the reader's result when reading the items fails
  std::size_t (*size)(const void* rec);
  void (*resize)(void* rec, std::size_t n);
  void* (*item)(void* rec, std::size_t i);
  // For an array whose count is not stored but follows from the record read
  // so far; false when that record is invalid. Null for a stored count.
  bool (*derived_count)(const void* rec, std::size_t* n) = nullptr;
};

template <class R, class V, V R::*M>
struct VecAccess {
  static std::size_t size(const void* r) { return (static_cast<const R*>(r)->*M).size(); }
  static void resize(void* r, std::size_t n) { (static_cast<R*>(r)->*M).resize(n); }
  static void* item(void* r, std::size_t i) { return &(static_cast<R*>(r)->*M)[i]; }
};

namespace chunk_addr {
inline void* f64(double* p) { return p; }
inline void* i32(int32_t* p) { return p; }
inline void* u8(uint8_t* p) { return p; }
inline void* str(std::string* p) { return p; }
template <std::size_t N>
void* text(FixedText<N>* p) {
  return p->data();
}
template <std::size_t N>
void* bytes(uint8_t (*p)[N]) {
  return *p;
}
// Bytes of a fixed text field or a raw byte field in memory.
template <class T>
constexpr uint16_t len() {
  if constexpr (requires { T::capacity; })
    return static_cast<uint16_t>(T::capacity);
  else
    return static_cast<uint16_t>(sizeof(T));
}
}  // namespace chunk_addr

// Field constructors. Inside a table, R names the record type and the
// expression reaches the value through r (R* r); for globals R is void and
// the expression names the global.
// clang-format off
#define CT_ADDR(kind, expr)                          \
  [](void* base) -> void* {                          \
    [[maybe_unused]] R* r = static_cast<R*>(base);   \
    return chunk_addr::kind(&(expr));                \
  }
#define CT_LEN(expr)                                                  \
  [] {                                                                \
    [[maybe_unused]] R* r = nullptr;                                  \
    return chunk_addr::len<std::remove_cvref_t<decltype(expr)>>();   \
  }()
#define CT_F64(expr) Field{#expr, FieldType::F64, 0, CT_ADDR(f64, expr)}
#define CT_I32(expr) Field{#expr, FieldType::I32, 0, CT_ADDR(i32, expr)}
#define CT_U8(expr) Field{#expr, FieldType::U8, 0, CT_ADDR(u8, expr)}
#define CT_TEXT(expr) Field{#expr, FieldType::TEXT, CT_LEN(expr), CT_ADDR(text, expr)}
#define CT_BYTES(expr) Field{#expr, FieldType::BYTES, CT_LEN(expr), CT_ADDR(bytes, expr)}
#define CT_FLAG32(expr) Field{#expr, FieldType::FLAG32, 0, CT_ADDR(u8, expr)}
#define CT_OLD_FONT(expr) Field{#expr, FieldType::OLD_FONT, CT_LEN(expr), CT_ADDR(text, expr)}
#define CT_TAIL_TEXT(expr, before) Field{#expr, FieldType::TAIL_TEXT, before, CT_ADDR(str, expr)}
#define CT_COUNT(arr) Field{"count", FieldType::COUNT, 0, nullptr, 0, -1, 0, &(arr)}
#define CT_ARRAY(arr) Field{"items", FieldType::ARRAY, 0, nullptr, 0, -1, 0, &(arr)}
// clang-format on

// Bytes of the fixed fields (arrays and the text tail count 0).
uint32_t fields_fixed_bytes(std::span<const Field> fields);
// Bytes the fields of base take in a file, variable parts included.
uint32_t fields_bytes(std::span<const Field> fields, const void* base);

void write_fields(ByteWriter& w, std::span<const Field> fields, const void* base);

enum class ReadStatus {
  OK,
  FAILED,    // the bytes ran out (a cut file, or a text whose chunk size is too small)
  REJECTED,  // complete, but its content is invalid: the element is not loaded; the
             // reader stands after its fields (unless ChunkReadCtx::end_unknown)
};

struct ChunkReadCtx {
  uint32_t size = 0;       // the chunk's payload size as the file gives it
  bool trusted = false;    // reading the user's own settings file
  int repaired = 0;        // pens and line types set to 0
  int adjusted = 0;        // doubles brought into their range
  int failure_result = 1;  // the reader's result when this chunk's read fails
  // A rejected record whose invalid content hides where its fields end (a
  // count that cannot be derived); only its size can skip it.
  bool end_unknown = false;
  const ArrayDesc* count_array[4] = {};
  uint32_t count_value[4] = {};
  int counts = 0;
};

// A field list compiled for the record type it stores into: where in a
// record each field's value lies, and the runs of plain doubles (no range
// or flag checks) that are read with one bounds check. Made by field_plan.
struct FieldPlan {
  struct Step {
    std::size_t first;  // the field, or the first of a run
    std::size_t count;  // fields in the run
    bool run;           // count plain doubles; else field `first` alone
  };
  std::vector<std::ptrdiff_t> offset;             // per field, from the record's address
  std::vector<std::unique_ptr<FieldPlan>> items;  // per ARRAY field: its items' plan
  std::vector<Step> steps;
};
// The plan of fields for the type of records a and b: two distinct records
// of it, which it may change (arrays are resized to find their items).
// Null when a field's value is not a member of the record.
std::unique_ptr<FieldPlan> field_plan(std::span<const Field> fields, void* a, void* b);

// Reads the fields into base. A null base reads and drops the values. With
// a plan (made for base's type), the same values are stored faster.
ReadStatus read_fields(ByteReader& r, std::span<const Field> fields, void* base, ChunkReadCtx& ctx,
                       const FieldPlan* plan = nullptr);
// A pen or line-type code checked by the FIELD_PEN / FIELD_LINE_TYPE rule:
// the code itself, or 0 (counted in ctx.repaired).
uint8_t checked_code(uint8_t flags, uint8_t v, ChunkReadCtx& ctx);

// Element chunks: one per kind that is written, and the older ones read.
struct ElemChunk {
  char tag[5];
  ElemKind kind;
  bool current;                   // written for its kind
  std::span<const Field> fields;  // after the 6-byte head
  std::unique_ptr<ElemHeader> (*make)();
  void (*fill)(ElemHeader& e);         // values an older chunk lacks (null: none)
  bool (*valid)(const ElemHeader& e);  // content check after reading (null: none)
};

const ElemChunk* kavfile_elem_chunk(const char* tag);
const ElemChunk* kavfile_elem_chunk_of_kind(uint8_t kind);
std::span<const ElemChunk> kavfile_elem_chunks();
// Payload bytes of e's chunk, head included.
uint32_t kavfile_elem_payload_bytes(const ElemHeader& e);
// Writes e as the chunk of its kind (nothing for an unknown kind).
void kavfile_write_element_chunk(ByteWriter& w, const ElemHeader& e);
// Every element on the layers 0..999, marked or not.
int kavfile_write_backup_elements(std::FILE* f);
// Reads the payload of an element chunk into a new record (out); the layer
// is renumbered under the old numbering, invalid layers, pens and line types
// become 0 (counted in ctx.repaired).
ReadStatus kavfile_read_element(ByteReader& r, const ElemChunk& c, ChunkReadCtx& ctx,
                                std::unique_ptr<ElemHeader>& out);

// Settings, layer and layer-set chunks: fixed-size records.
enum class ChunkGroup : uint8_t {
  SETTINGS,   // in drawings and settings files, written by kavfile_write_settings
  FILE_ONLY,  // only in settings files, written by prefs_write_file_chunks
  LAYERS,     // written by the layer writers
  OLD,        // read only
};
enum class ChunkIndex : uint8_t { NONE, U8, I32 };

struct RecordChunk {
  char tag[5];
  ChunkGroup group;
  ChunkIndex index;               // a leading record number (pens, line types, layers)
  int records;                    // how many the settings writer writes (8 for pens and line types)
  std::span<const Field> fields;  // after the index
  // Where the fields of record i go when reading; null reads and ignores.
  void* (*record)(int32_t i);
  void (*after)();  // side effects and fill-ins after a complete read (null: none)
};

const RecordChunk* kavfile_record_chunk(const char* tag);
std::span<const RecordChunk> kavfile_record_chunks();
uint32_t kavfile_record_payload_bytes(const RecordChunk& c);
void kavfile_write_record(ByteWriter& w, const RecordChunk& c, int32_t index, const void* base);
// Reads one record chunk's payload. Returns FAILED when fewer bytes than the
// chunk needs are left, before anything is stored.
ReadStatus kavfile_read_record(ByteReader& r, const RecordChunk& c, ChunkReadCtx& ctx);

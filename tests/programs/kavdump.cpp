// kavdump FILE: prints the chunks of a drawing, settings or symbol file.
// kavdump --resave IN OUT: loads IN and saves it as OUT through the
// program's own loader and saver (see kavdump_resave).
#include "programs/kavdump.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "model/files/fio.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--resave") == 0) return kavdump_resave(argv[2], argv[3]);
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: %s FILE\n       %s --resave IN OUT\n", argv[0], argv[0]);
    return 2;
  }
  FioFile f(argv[1], "rb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  std::vector<unsigned char> data;
  unsigned char block[1 << 16];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof block, f.get())) > 0) data.insert(data.end(), block, block + n);
  std::fputs(kavdump(data.data(), data.size()).c_str(), stdout);
  return 0;
}

// Intel HEX parsing: the program's parser on a generated 256 KiB image, in
// memory and file to file, beside objcopy converting the same file.
#include <cstdio>

#include "bench/bench_support.h"
#include "bench/benches.h"
#include "core/text.h"
#include "image/intel_hex.h"

namespace lw::bench {

namespace {

constexpr std::size_t kImageSize = 256 * 1024;
constexpr uint32_t kFlashBase = 0x08000000;

void row(const char* what, const std::vector<Seconds>& runs, const std::string& rate) {
  std::printf("  %-44s median %-10s best %-10s %s (%zu runs)\n", what, formatSeconds(median(runs)).c_str(),
              formatSeconds(minimum(runs)).c_str(), rate.c_str(), runs.size());
}

std::string rates(std::size_t textBytes, std::size_t imageBytes, Seconds s) {
  return format("%6.1f MB/s of HEX text, %6.1f MiB/s of image", textBytes / s / 1e6, imageBytes / s / 1048576.0);
}

}  // namespace

void runHexParseBench() {
  ScratchDir dir;
  const std::vector<uint8_t> image = noise(kImageSize, 0x2545F491);
  const std::string text = intelHexOf(image, kFlashBase);
  const std::string hexPath = dir / "image.hex";
  writeFile(hexPath, text);
  std::printf("Intel HEX parsing: %zu-byte image at 0x%08X, %zu-byte HEX file (%zu data bytes a record)\n",
              image.size(), kFlashBase, text.size(), kHexRecordData);

  HexImage parsed;
  const auto inMemory = timeRuns([&] { parsed = parseIntelHex(text, 1u << 20); }, 20, 1.0);
  const bool parsedRight = parsed.length == image.size() && parsed.bytes == image;
  row("parseIntelHex, text in memory", inMemory, rates(text.size(), image.size(), median(inMemory)));

  const std::string ownBin = dir / "own.bin";
  const auto fileToFile = timeRuns(
      [&] {
        const std::string t = readFile(hexPath);
        const HexImage p = parseIntelHex(t, 1u << 20);
        writeFile(ownBin, std::string(p.bytes.begin(), p.bytes.end()));
      },
      20, 1.0);
  row("read .hex, parse, write .bin (in process)", fileToFile,
      rates(text.size(), image.size(), median(fileToFile)));

  if (runProgram({"objcopy", "--version"}) != 0) {
    std::printf("  objcopy: not found (Debian package binutils)\n");
    std::printf("  parser output equals the image: %s\n", parsedRight ? "yes" : "NO");
    return;
  }
  const std::string objBin = dir / "objcopy.bin";
  int objcopyStatus = 0;
  const auto objcopy = timeRuns(
      [&] { objcopyStatus |= runProgram({"objcopy", "-I", "ihex", "-O", "binary", hexPath, objBin}); }, 10, 1.0);
  row("objcopy -I ihex -O binary (a process)", objcopy, rates(text.size(), image.size(), median(objcopy)));

  // The same command on a one-record file: what starting the process and
  // handling the files costs without the parsing.
  const std::string tinyPath = dir / "tiny.hex";
  writeFile(tinyPath, intelHexOf(noise(kHexRecordData, 7), kFlashBase));
  const auto tiny =
      timeRuns([&] { runProgram({"objcopy", "-I", "ihex", "-O", "binary", tinyPath, dir / "tiny.bin"}); }, 10, 0.5);
  row("objcopy on a one-record file", tiny, "(process start-up and file handling)");
  const Seconds objcopyParse = median(objcopy) - median(tiny);
  if (objcopyParse > 0) {
    std::printf("  %-44s ~%-10s %s\n", "objcopy minus its start-up", formatSeconds(objcopyParse).c_str(),
                rates(text.size(), image.size(), objcopyParse).c_str());
  }

  const std::string own = readFile(ownBin);
  const std::string theirs = readFile(objBin);
  std::printf("  outputs equal (parser, file to file, objcopy): %s\n",
              parsedRight && objcopyStatus == 0 && own == theirs ? "yes" : "NO");
}

}  // namespace lw::bench

// Arbitrary text as a .rad file: the reader, the analysis pass and an upload over it never read past the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "firmware/FirmwareImage.h"
#include "firmware/FirmwareUpload.h"
#include "firmware/RadImageMaker.h"
#include "firmware/RadRecordReader.h"

using namespace orvalis;

namespace {
// Answers every request at once with the reply that moves the upload on.
Bytes Ack(const UploadFrame& f, std::uint8_t hardware) {
  Bytes r(33, 0);
  r[0] = static_cast<std::uint8_t>(f.dest);
  r[2] = f.data[0];
  if (f.data[0] == 0xEB && f.data.size() >= 6) {
    r[5] = f.data[4];
    r[6] = f.data[5];
  }
  if (f.data[0] == 0xEA) r[4] = f.data[1];
  r[9] = hardware;
  r[18] = 1;
  return r;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exact-size copy so that any overrun is caught.
  std::string text(reinterpret_cast<const char*>(data), size);

  RadRecordReader reader(text);
  RadRecord rec;
  while (reader.next(rec) == RadRecordReader::Status::Ok)
    if (rec.data.size() != rec.head.count) std::abort();

  const auto img = FirmwareImage::Analyse(text);
  if (img.totalSize() == 0) std::abort();
  (void)img.toJson();
  (void)ReadRadImageVersion(text);

  // Upload the same text to a radio that accepts everything; the header byte decides the hardware code.
  const std::size_t mark = text.find(':');
  const std::uint8_t hw =
      mark != std::string::npos && mark + 10 < text.size() ? static_cast<std::uint8_t>(text[mark + 9]) : 0;
  FirmwareUpload up;
  UploadStart s;
  s.target = 5;
  s.text = text;
  s.totalSize = img.totalSize();
  UploadActions a = up.start(s);
  for (int guard = 0; guard < 200000 && up.running(); ++guard) {
    if (a.frames.size() != 1) std::abort();
    const UploadFrame f = a.frames.back();
    if (f.data[0] == 0xEB && f.data.size() != 8u + f.data[3]) std::abort();
    a = (guard % 3 == 2) ? up.onTimeout() : up.onReply(Ack(f, hw));
    if (a.progress && (*a.progress < 0 || *a.progress > 100)) std::abort();
  }
  if (up.running()) std::abort();
  return 0;
}

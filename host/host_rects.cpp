#include "host/host_rects.h"

namespace tessaro::host {

namespace {
int16_t Narrow(int32_t v) {
  if (v < INT16_MIN) return INT16_MIN;
  if (v > INT16_MAX) return INT16_MAX;
  return static_cast<int16_t>(v);
}

Rect16 ToRect16(const VRect& r) {
  return Rect16{Narrow(r.top), Narrow(r.left), Narrow(r.bottom), Narrow(r.right)};
}

// The record is only 4-byte aligned: fields are copied by value, never through
// pointers to its members.
BigDocumentStruct* BigDocument(FilterRecord& record) {
  BigDocumentStruct* big = record.bigDocumentData;
  if (big) big->PluginUsing32BitCoordinates = 1;
  return big;
}
}  // namespace

VRect FilterRectOf(FilterRecord& record) {
  if (BigDocumentStruct* big = BigDocument(record)) return big->filterRect32;
  const Rect16 r = record.filterRect;
  return VRect{r.top, r.left, r.bottom, r.right};
}

void RequestRects(FilterRecord& record, const VRect& in, const VRect& out, const VRect& mask) {
  record.inRect = ToRect16(in);
  record.outRect = ToRect16(out);
  record.maskRect = ToRect16(mask);
  if (BigDocumentStruct* big = BigDocument(record)) {
    big->inRect32 = in;
    big->outRect32 = out;
    big->maskRect32 = mask;
  }
}

}  // namespace tessaro::host

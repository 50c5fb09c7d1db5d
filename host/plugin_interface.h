// Declarations of the host filter interface as the module sees it.
//
// Written from the published binary layouts; the record must be 4-byte packed so
// that the 8-byte pointers land where every host puts them.  The static checks at
// the end hold on Win64 and on Linux x86-64 alike, and 32-bit Windows has its
// own.  There every procedure, ours and the host's, uses the C calling
// convention, the compiler's default.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/numeric.h"

namespace tessaro::host {

using OSErr = int16_t;
using Boolean = uint8_t;  // hosts may store any non-zero value: never a C++ bool
using Fixed = int32_t;
using OSType = uint32_t;
using Ptr = char*;
using Handle = char**;
using Str255 = unsigned char[256];

using tessaro::FourCC;

struct Point16 {
  int16_t v, h;  // row first
};
struct Rect16 {
  int16_t top, left, bottom, right;  // bottom and right exclusive
};
struct VPoint {
  int32_t v, h;
};
struct VRect {
  int32_t top, left, bottom, right;
};
struct RGBColor16 {
  uint16_t red, green, blue;  // 0..65535; the high byte is the 8-bit value
};
using FilterColor = uint8_t[4];

struct PlugInMonitor {
  Fixed gamma, redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY, ambient;
};

struct PlatformData {
  intptr_t hwnd;  // window that should own our dialogs
};

// ---- Selectors and result codes ------------------------------------------------
enum Selector : int16_t {
  kSelectorAbout = 0,
  kSelectorParameters = 1,
  kSelectorPrepare = 2,
  kSelectorStart = 3,
  kSelectorContinue = 4,
  kSelectorFinish = 5,
};

constexpr OSErr kNoErr = 0;
constexpr OSErr kUserCanceledErr = -128;
constexpr OSErr kMemFullErr = -108;
constexpr OSErr kCoercedParamErr = 2;
constexpr OSErr kFilterBadParameters = -30100;
constexpr OSErr kFilterBadMode = -30101;
constexpr OSErr kErrReportString = -30904;
// Returned by the host's procedures.
constexpr OSErr kParamErr = -50;
constexpr OSErr kEofErr = -39;  // also the end of a descriptor
constexpr OSErr kHostInsufficientErr = -30900;

constexpr int16_t kImageModeRGB = 3;

// filterCase: what the filter is applied to.
constexpr int16_t kFilterCaseFlatImage = 1;
constexpr int16_t kFilterCaseFlatSelection = 2;
constexpr int16_t kFilterCaseFloatingSelection = 3;
constexpr int16_t kFilterCaseEditableTransparency = 4;
constexpr int16_t kFilterCaseEditableTransparencySelection = 5;

constexpr Fixed kFixedOne = 0x10000;

// Value types of scripting descriptor items and terminology entries.
namespace descriptor_type {
constexpr OSType kInteger = FourCC("long");
constexpr OSType kBoolean = FourCC("bool");
constexpr OSType kFloat = FourCC("doub");
constexpr OSType kUnitFloat = FourCC("UntF");
constexpr OSType kEnumerated = FourCC("enum");
constexpr OSType kClass = FourCC("type");
constexpr OSType kText = FourCC("TEXT");
constexpr OSType kAlias = FourCC("alis");
constexpr OSType kObject = FourCC("Objc");
constexpr OSType kReference = FourCC("obj ");
constexpr OSType kNull = FourCC("null");
}  // namespace descriptor_type

// ---- Handle suite (natural alignment) --------------------------------------------
struct HandleProcs {
  int16_t handleProcsVersion;
  int16_t numHandleProcs;
  Handle (*newProc)(int32_t size);
  void (*disposeProc)(Handle h);
  int32_t (*getSizeProc)(Handle h);
  OSErr (*setSizeProc)(Handle h, int32_t newSize);
  Ptr (*lockProc)(Handle h, Boolean moveHigh);
  void (*unlockProc)(Handle h);
  void (*recoverSpaceProc)(int32_t size);
  void (*disposeRegularHandleProc)(Handle h);
};

// ---- Descriptor (scripting) suite --------------------------------------------------
using PIReadDescriptor = void*;
using PIWriteDescriptor = void*;

struct PIDescriptorSimpleReference {
  uint32_t desiredClass;
  uint32_t keyForm;
  struct {
    Str255 name;
    int32_t index;
    uint32_t type;
    uint32_t value;
  } keyData;
};

struct WriteDescriptorProcs {
  int16_t writeDescriptorProcsVersion;
  int16_t numWriteDescriptorProcs;
  PIWriteDescriptor (*openWriteDescriptorProc)();
  OSErr (*closeWriteDescriptorProc)(PIWriteDescriptor d, Handle* newDescriptor);
  OSErr (*putIntegerProc)(PIWriteDescriptor d, uint32_t key, int32_t value);
  OSErr (*putFloatProc)(PIWriteDescriptor d, uint32_t key, const double* value);
  OSErr (*putUnitFloatProc)(PIWriteDescriptor d, uint32_t key, uint32_t unit, const double* value);
  OSErr (*putBooleanProc)(PIWriteDescriptor d, uint32_t key, Boolean value);
  OSErr (*putTextProc)(PIWriteDescriptor d, uint32_t key, Handle text);
  OSErr (*putAliasProc)(PIWriteDescriptor d, uint32_t key, Handle alias);
  OSErr (*putEnumeratedProc)(PIWriteDescriptor d, uint32_t key, uint32_t type, uint32_t value);
  OSErr (*putClassProc)(PIWriteDescriptor d, uint32_t key, uint32_t type);
  OSErr (*putSimpleReferenceProc)(PIWriteDescriptor d, uint32_t key,
                                  const PIDescriptorSimpleReference* ref);
  OSErr (*putObjectProc)(PIWriteDescriptor d, uint32_t key, uint32_t type, Handle object);
  OSErr (*putCountProc)(PIWriteDescriptor d, uint32_t key, uint32_t count);
  OSErr (*putStringProc)(PIWriteDescriptor d, uint32_t key, const unsigned char* pascal);
  OSErr (*putScopedClassProc)(PIWriteDescriptor d, uint32_t key, uint32_t type);
  OSErr (*putScopedObjectProc)(PIWriteDescriptor d, uint32_t key, uint32_t type, Handle object);
};

struct ReadDescriptorProcs {
  int16_t readDescriptorProcsVersion;
  int16_t numReadDescriptorProcs;
  // The key array is written by some hosts while reading: it must be writable.
  PIReadDescriptor (*openReadDescriptorProc)(Handle descriptor, uint32_t* keyArray);
  OSErr (*closeReadDescriptorProc)(PIReadDescriptor d);
  Boolean (*getKeyProc)(PIReadDescriptor d, uint32_t* key, uint32_t* type, int32_t* flags);
  OSErr (*getIntegerProc)(PIReadDescriptor d, int32_t* value);
  OSErr (*getFloatProc)(PIReadDescriptor d, double* value);
  OSErr (*getUnitFloatProc)(PIReadDescriptor d, uint32_t* unit, double* value);
  OSErr (*getBooleanProc)(PIReadDescriptor d, Boolean* value);
  OSErr (*getTextProc)(PIReadDescriptor d, Handle* text);
  OSErr (*getAliasProc)(PIReadDescriptor d, Handle* alias);
  OSErr (*getEnumeratedProc)(PIReadDescriptor d, uint32_t* value);
  OSErr (*getClassProc)(PIReadDescriptor d, uint32_t* type);
  OSErr (*getSimpleReferenceProc)(PIReadDescriptor d, PIDescriptorSimpleReference* ref);
  OSErr (*getObjectProc)(PIReadDescriptor d, uint32_t* type, Handle* object);
  OSErr (*getCountProc)(PIReadDescriptor d, uint32_t* count);
  OSErr (*getStringProc)(PIReadDescriptor d, Str255* value);
  OSErr (*getPinnedIntegerProc)(PIReadDescriptor d, int32_t min, int32_t max, int32_t* value);
  OSErr (*getPinnedFloatProc)(PIReadDescriptor d, const double* min, const double* max,
                              double* value);
  OSErr (*getPinnedUnitFloatProc)(PIReadDescriptor d, const double* min, const double* max,
                                  uint32_t* unit, double* value);
};

struct PIDescriptorParameters {
  int16_t descriptorParametersVersion;
  int16_t playInfo;
  int16_t recordInfo;
  Handle descriptor;
  WriteDescriptorProcs* writeDescriptorProcs;
  ReadDescriptorProcs* readDescriptorProcs;
};

constexpr int16_t kPlugInDialogDontDisplay = 0;
constexpr int16_t kPlugInDialogDisplay = 1;
constexpr int16_t kPlugInDialogSilent = 2;
constexpr int16_t kPlugInDialogOptional = 0;

// ---- Colour services (natural alignment) ---------------------------------------------
struct ColorServicesInfo {
  int32_t infoSize;
  int16_t selector;
  int16_t sourceSpace;
  int16_t resultSpace;
  Boolean resultGamutInfoValid;
  Boolean resultInGamut;
  void* reservedSourceSpaceInfo;
  void* reservedResultSpaceInfo;
  int16_t colorComponents[4];
  void* reserved;
  union {
    Str255* pickerPrompt;
    Point16* globalSamplePoint;
    int32_t specialColorID;
  } selectorParameter;
};

constexpr int16_t kChooseColor = 0;
constexpr int16_t kRGBSpace = 0;

// ---- Buffer suite: only its slot count is ever looked at ------------------------------
struct BufferProcs {
  int16_t bufferProcsVersion;
  int16_t numBufferProcs;
  void* slots[8];
};

// ---- Record with 32-bit rectangles for documents beyond 16-bit sizes -----------------
#pragma pack(push, 4)
struct BigDocumentStruct {
  int32_t PluginUsing32BitCoordinates;
  VPoint imageSize32;
  VRect filterRect32;
  VRect inRect32;
  VRect outRect32;
  VRect maskRect32;
  VPoint floatCoord32;
  VPoint wholeSize32;
};

// The host allocates this record, and its size varies between hosts (556 to 608
// bytes seen): never copy it, clear it, or read a field past bigDocumentData.
struct FilterRecord {
  int32_t serialNumber;
  Boolean (*abortProc)();
  void (*progressProc)(int32_t done, int32_t total);
  Handle parameters;
  Point16 imageSize;
  int16_t planes;
  Rect16 filterRect;
  RGBColor16 background;
  RGBColor16 foreground;
  int32_t maxSpace;
  int32_t bufferSpace;
  Rect16 inRect;
  int16_t inLoPlane;
  int16_t inHiPlane;
  Rect16 outRect;
  int16_t outLoPlane;
  int16_t outHiPlane;
  void* inData;
  int32_t inRowBytes;
  void* outData;
  int32_t outRowBytes;
  Boolean isFloating;
  Boolean haveMask;
  Boolean autoMask;
  Rect16 maskRect;
  void* maskData;
  int32_t maskRowBytes;
  FilterColor backColor;
  FilterColor foreColor;
  OSType hostSig;
  void (*hostProc)(int16_t selector, intptr_t* data);
  int16_t imageMode;
  Fixed imageHRes;
  Fixed imageVRes;
  Point16 floatCoord;
  Point16 wholeSize;
  PlugInMonitor monitor;
  PlatformData* platformData;
  BufferProcs* bufferProcs;
  void* resourceProcs;
  void (*processEvent)(void* event);
  void* displayPixels;
  HandleProcs* handleProcs;
  Boolean supportsDummyChannels;
  Boolean supportsAlternateLayouts;
  int16_t wantLayout;
  int16_t filterCase;
  int16_t dummyPlaneValue;
  void* premiereHook;
  OSErr (*advanceState)();
  Boolean supportsAbsolute;
  Boolean wantsAbsolute;
  void* getPropertyObsolete;
  Boolean cannotUndo;
  Boolean supportsPadding;
  int16_t inputPadding;
  int16_t outputPadding;
  int16_t maskPadding;
  char samplingSupport;
  char reservedByte;
  Fixed inputRate;
  Fixed maskRate;
  OSErr (*colorServices)(ColorServicesInfo* info);
  int16_t inLayerPlanes;
  int16_t inTransparencyMask;
  int16_t inLayerMasks;
  int16_t inInvertedLayerMasks;
  int16_t inNonLayerPlanes;
  int16_t outLayerPlanes;
  int16_t outTransparencyMask;
  int16_t outLayerMasks;
  int16_t outInvertedLayerMasks;
  int16_t outNonLayerPlanes;
  int16_t absLayerPlanes;
  int16_t absTransparencyMask;
  int16_t absLayerMasks;
  int16_t absInvertedLayerMasks;
  int16_t absNonLayerPlanes;
  int16_t inPreDummyPlanes;
  int16_t inPostDummyPlanes;
  int16_t outPreDummyPlanes;
  int16_t outPostDummyPlanes;
  int32_t inColumnBytes;
  int32_t inPlaneBytes;
  int32_t outColumnBytes;
  int32_t outPlaneBytes;
  void* imageServicesProcs;
  void* propertyProcs;
  int16_t inTileHeight;
  int16_t inTileWidth;
  Point16 inTileOrigin;
  int16_t absTileHeight;
  int16_t absTileWidth;
  Point16 absTileOrigin;
  int16_t outTileHeight;
  int16_t outTileWidth;
  Point16 outTileOrigin;
  int16_t maskTileHeight;
  int16_t maskTileWidth;
  Point16 maskTileOrigin;
  PIDescriptorParameters* descriptorParameters;
  Str255* errorString;
  void* channelPortProcs;
  void* documentInfo;
  void* sSPBasic;
  void* plugInRef;
  int32_t depth;
  Handle iCCprofileData;
  int32_t iCCprofileSize;
  int32_t canUseICCProfiles;
  int32_t hasImageScrap;
  BigDocumentStruct* bigDocumentData;
  PIDescriptorParameters* input3DScene;
  PIDescriptorParameters* output3DScene;
  Boolean createNewLayer;
  Handle iCCWorkingProfileData;
  int32_t iCCWorkingProfileSize;
  int64_t bufferSpace64;
  int64_t maxSpace64;
  Boolean allowOverrangeColors;
  char reserved[45];
};
#pragma pack(pop)

// Parameter block of the about selector: much smaller than a FilterRecord.
struct AboutRecord {
  PlatformData* platformData;
  void* sSPBasic;
  void* plugInRef;
  char reserved[244];
};

// ---- Layout checks ------------------------------------------------------------------
static_assert(sizeof(Point16) == 4 && sizeof(Rect16) == 8 && sizeof(RGBColor16) == 6);
static_assert(sizeof(VRect) == 16 && sizeof(PlugInMonitor) == 40);
static_assert(sizeof(BigDocumentStruct) == 92 && alignof(BigDocumentStruct) == 4);
static_assert(offsetof(BigDocumentStruct, imageSize32) == 4);
static_assert(offsetof(BigDocumentStruct, filterRect32) == 12);
static_assert(offsetof(BigDocumentStruct, inRect32) == 28);
static_assert(offsetof(BigDocumentStruct, outRect32) == 44);
static_assert(offsetof(BigDocumentStruct, maskRect32) == 60);
static_assert(offsetof(BigDocumentStruct, floatCoord32) == 76);
static_assert(offsetof(BigDocumentStruct, wholeSize32) == 84);
static_assert(sizeof(PIDescriptorSimpleReference) == 276);

#if INTPTR_MAX == INT64_MAX
// 64-bit Windows and Linux x86-64.
static_assert(sizeof(PlatformData) == 8);
static_assert(sizeof(FilterRecord) == 608 && alignof(FilterRecord) == 4);
static_assert(offsetof(FilterRecord, abortProc) == 4);
static_assert(offsetof(FilterRecord, progressProc) == 12);
static_assert(offsetof(FilterRecord, parameters) == 20);
static_assert(offsetof(FilterRecord, imageSize) == 28);
static_assert(offsetof(FilterRecord, planes) == 32);
static_assert(offsetof(FilterRecord, filterRect) == 34);
static_assert(offsetof(FilterRecord, background) == 42);
static_assert(offsetof(FilterRecord, foreground) == 48);
static_assert(offsetof(FilterRecord, maxSpace) == 56);
static_assert(offsetof(FilterRecord, bufferSpace) == 60);
static_assert(offsetof(FilterRecord, inRect) == 64);
static_assert(offsetof(FilterRecord, inLoPlane) == 72);
static_assert(offsetof(FilterRecord, inHiPlane) == 74);
static_assert(offsetof(FilterRecord, outRect) == 76);
static_assert(offsetof(FilterRecord, outLoPlane) == 84);
static_assert(offsetof(FilterRecord, outHiPlane) == 86);
static_assert(offsetof(FilterRecord, inData) == 88);
static_assert(offsetof(FilterRecord, inRowBytes) == 96);
static_assert(offsetof(FilterRecord, outData) == 100);
static_assert(offsetof(FilterRecord, outRowBytes) == 108);
static_assert(offsetof(FilterRecord, isFloating) == 112);
static_assert(offsetof(FilterRecord, haveMask) == 113);
static_assert(offsetof(FilterRecord, autoMask) == 114);
static_assert(offsetof(FilterRecord, maskRect) == 116);
static_assert(offsetof(FilterRecord, maskData) == 124);
static_assert(offsetof(FilterRecord, maskRowBytes) == 132);
static_assert(offsetof(FilterRecord, backColor) == 136);
static_assert(offsetof(FilterRecord, foreColor) == 140);
static_assert(offsetof(FilterRecord, hostSig) == 144);
static_assert(offsetof(FilterRecord, hostProc) == 148);
static_assert(offsetof(FilterRecord, imageMode) == 156);
static_assert(offsetof(FilterRecord, imageHRes) == 160);
static_assert(offsetof(FilterRecord, imageVRes) == 164);
static_assert(offsetof(FilterRecord, floatCoord) == 168);
static_assert(offsetof(FilterRecord, wholeSize) == 172);
static_assert(offsetof(FilterRecord, monitor) == 176);
static_assert(offsetof(FilterRecord, platformData) == 216);
static_assert(offsetof(FilterRecord, bufferProcs) == 224);
static_assert(offsetof(FilterRecord, resourceProcs) == 232);
static_assert(offsetof(FilterRecord, processEvent) == 240);
static_assert(offsetof(FilterRecord, displayPixels) == 248);
static_assert(offsetof(FilterRecord, handleProcs) == 256);
static_assert(offsetof(FilterRecord, supportsDummyChannels) == 264);
static_assert(offsetof(FilterRecord, supportsAlternateLayouts) == 265);
static_assert(offsetof(FilterRecord, wantLayout) == 266);
static_assert(offsetof(FilterRecord, filterCase) == 268);
static_assert(offsetof(FilterRecord, dummyPlaneValue) == 270);
static_assert(offsetof(FilterRecord, premiereHook) == 272);
static_assert(offsetof(FilterRecord, advanceState) == 280);
static_assert(offsetof(FilterRecord, supportsAbsolute) == 288);
static_assert(offsetof(FilterRecord, wantsAbsolute) == 289);
static_assert(offsetof(FilterRecord, getPropertyObsolete) == 292);
static_assert(offsetof(FilterRecord, cannotUndo) == 300);
static_assert(offsetof(FilterRecord, supportsPadding) == 301);
static_assert(offsetof(FilterRecord, inputPadding) == 302);
static_assert(offsetof(FilterRecord, outputPadding) == 304);
static_assert(offsetof(FilterRecord, maskPadding) == 306);
static_assert(offsetof(FilterRecord, samplingSupport) == 308);
static_assert(offsetof(FilterRecord, reservedByte) == 309);
static_assert(offsetof(FilterRecord, inputRate) == 312);
static_assert(offsetof(FilterRecord, maskRate) == 316);
static_assert(offsetof(FilterRecord, colorServices) == 320);
static_assert(offsetof(FilterRecord, inLayerPlanes) == 328);
static_assert(offsetof(FilterRecord, absNonLayerPlanes) == 356);
static_assert(offsetof(FilterRecord, inPreDummyPlanes) == 358);
static_assert(offsetof(FilterRecord, outPostDummyPlanes) == 364);
static_assert(offsetof(FilterRecord, inColumnBytes) == 368);
static_assert(offsetof(FilterRecord, inPlaneBytes) == 372);
static_assert(offsetof(FilterRecord, outColumnBytes) == 376);
static_assert(offsetof(FilterRecord, outPlaneBytes) == 380);
static_assert(offsetof(FilterRecord, imageServicesProcs) == 384);
static_assert(offsetof(FilterRecord, propertyProcs) == 392);
static_assert(offsetof(FilterRecord, inTileHeight) == 400);
static_assert(offsetof(FilterRecord, inTileOrigin) == 404);
static_assert(offsetof(FilterRecord, absTileHeight) == 408);
static_assert(offsetof(FilterRecord, absTileOrigin) == 412);
static_assert(offsetof(FilterRecord, outTileHeight) == 416);
static_assert(offsetof(FilterRecord, outTileOrigin) == 420);
static_assert(offsetof(FilterRecord, maskTileHeight) == 424);
static_assert(offsetof(FilterRecord, maskTileOrigin) == 428);
static_assert(offsetof(FilterRecord, descriptorParameters) == 432);
static_assert(offsetof(FilterRecord, errorString) == 440);
static_assert(offsetof(FilterRecord, channelPortProcs) == 448);
static_assert(offsetof(FilterRecord, documentInfo) == 456);
static_assert(offsetof(FilterRecord, sSPBasic) == 464);
static_assert(offsetof(FilterRecord, plugInRef) == 472);
static_assert(offsetof(FilterRecord, depth) == 480);
static_assert(offsetof(FilterRecord, iCCprofileData) == 484);
static_assert(offsetof(FilterRecord, iCCprofileSize) == 492);
static_assert(offsetof(FilterRecord, canUseICCProfiles) == 496);
static_assert(offsetof(FilterRecord, hasImageScrap) == 500);
static_assert(offsetof(FilterRecord, bigDocumentData) == 504);
static_assert(offsetof(FilterRecord, input3DScene) == 512);
static_assert(offsetof(FilterRecord, output3DScene) == 520);
static_assert(offsetof(FilterRecord, createNewLayer) == 528);
static_assert(offsetof(FilterRecord, iCCWorkingProfileData) == 532);
static_assert(offsetof(FilterRecord, iCCWorkingProfileSize) == 540);
static_assert(offsetof(FilterRecord, bufferSpace64) == 544);
static_assert(offsetof(FilterRecord, maxSpace64) == 552);
static_assert(offsetof(FilterRecord, allowOverrangeColors) == 560);
static_assert(offsetof(FilterRecord, reserved) == 561);

static_assert(sizeof(HandleProcs) == 72);
static_assert(offsetof(HandleProcs, newProc) == 8);
static_assert(offsetof(HandleProcs, disposeProc) == 16);
static_assert(offsetof(HandleProcs, lockProc) == 40);
static_assert(offsetof(HandleProcs, unlockProc) == 48);
static_assert(offsetof(HandleProcs, disposeRegularHandleProc) == 64);

static_assert(sizeof(PIDescriptorParameters) == 32);
static_assert(offsetof(PIDescriptorParameters, playInfo) == 2);
static_assert(offsetof(PIDescriptorParameters, recordInfo) == 4);
static_assert(offsetof(PIDescriptorParameters, descriptor) == 8);
static_assert(offsetof(PIDescriptorParameters, writeDescriptorProcs) == 16);
static_assert(offsetof(PIDescriptorParameters, readDescriptorProcs) == 24);

static_assert(sizeof(WriteDescriptorProcs) == 136);
static_assert(offsetof(WriteDescriptorProcs, openWriteDescriptorProc) == 8);
static_assert(offsetof(WriteDescriptorProcs, closeWriteDescriptorProc) == 16);
static_assert(offsetof(WriteDescriptorProcs, putIntegerProc) == 24);
static_assert(offsetof(WriteDescriptorProcs, putBooleanProc) == 48);
static_assert(offsetof(WriteDescriptorProcs, putScopedObjectProc) == 128);

static_assert(sizeof(ReadDescriptorProcs) == 152);
static_assert(offsetof(ReadDescriptorProcs, openReadDescriptorProc) == 8);
static_assert(offsetof(ReadDescriptorProcs, closeReadDescriptorProc) == 16);
static_assert(offsetof(ReadDescriptorProcs, getKeyProc) == 24);
static_assert(offsetof(ReadDescriptorProcs, getIntegerProc) == 32);
static_assert(offsetof(ReadDescriptorProcs, getBooleanProc) == 56);
static_assert(offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) == 144);

static_assert(sizeof(ColorServicesInfo) == 56);
static_assert(offsetof(ColorServicesInfo, selector) == 4);
static_assert(offsetof(ColorServicesInfo, resultSpace) == 8);
static_assert(offsetof(ColorServicesInfo, resultGamutInfoValid) == 10);
static_assert(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == 16);
static_assert(offsetof(ColorServicesInfo, colorComponents) == 32);
static_assert(offsetof(ColorServicesInfo, reserved) == 40);
static_assert(offsetof(ColorServicesInfo, selectorParameter) == 48);

static_assert(sizeof(BufferProcs) == 72);
static_assert(sizeof(AboutRecord) == 272);
static_assert(offsetof(AboutRecord, reserved) == 24);

#elif INTPTR_MAX == INT32_MAX
// 32-bit Windows: the same declarations with 4-byte pointers.  The record's
// 4-byte packing then changes nothing, and every later field moves up by 4
// bytes for each pointer before it.
static_assert(sizeof(PlatformData) == 4);
static_assert(sizeof(FilterRecord) == 488 && alignof(FilterRecord) == 4);
static_assert(offsetof(FilterRecord, abortProc) == 4);
static_assert(offsetof(FilterRecord, progressProc) == 8);
static_assert(offsetof(FilterRecord, parameters) == 12);
static_assert(offsetof(FilterRecord, imageSize) == 16);
static_assert(offsetof(FilterRecord, planes) == 20);
static_assert(offsetof(FilterRecord, filterRect) == 22);
static_assert(offsetof(FilterRecord, background) == 30);
static_assert(offsetof(FilterRecord, maxSpace) == 44);
static_assert(offsetof(FilterRecord, inRect) == 52);
static_assert(offsetof(FilterRecord, inLoPlane) == 60);
static_assert(offsetof(FilterRecord, outRect) == 64);
static_assert(offsetof(FilterRecord, inData) == 76);
static_assert(offsetof(FilterRecord, inRowBytes) == 80);
static_assert(offsetof(FilterRecord, outData) == 84);
static_assert(offsetof(FilterRecord, outRowBytes) == 88);
static_assert(offsetof(FilterRecord, haveMask) == 93);
static_assert(offsetof(FilterRecord, maskRect) == 96);
static_assert(offsetof(FilterRecord, maskData) == 104);
static_assert(offsetof(FilterRecord, maskRowBytes) == 108);
static_assert(offsetof(FilterRecord, backColor) == 112);
static_assert(offsetof(FilterRecord, hostSig) == 120);
static_assert(offsetof(FilterRecord, hostProc) == 124);
static_assert(offsetof(FilterRecord, imageMode) == 128);
static_assert(offsetof(FilterRecord, monitor) == 148);
static_assert(offsetof(FilterRecord, platformData) == 188);
static_assert(offsetof(FilterRecord, bufferProcs) == 192);
static_assert(offsetof(FilterRecord, handleProcs) == 208);
static_assert(offsetof(FilterRecord, filterCase) == 216);
static_assert(offsetof(FilterRecord, advanceState) == 224);
static_assert(offsetof(FilterRecord, getPropertyObsolete) == 232);
static_assert(offsetof(FilterRecord, inputRate) == 248);
static_assert(offsetof(FilterRecord, colorServices) == 256);
static_assert(offsetof(FilterRecord, inLayerPlanes) == 260);
static_assert(offsetof(FilterRecord, inColumnBytes) == 300);
static_assert(offsetof(FilterRecord, imageServicesProcs) == 316);
static_assert(offsetof(FilterRecord, inTileHeight) == 324);
static_assert(offsetof(FilterRecord, descriptorParameters) == 356);
static_assert(offsetof(FilterRecord, errorString) == 360);
static_assert(offsetof(FilterRecord, depth) == 380);
static_assert(offsetof(FilterRecord, bigDocumentData) == 400);
static_assert(offsetof(FilterRecord, createNewLayer) == 412);
static_assert(offsetof(FilterRecord, bufferSpace64) == 424);
static_assert(offsetof(FilterRecord, maxSpace64) == 432);
static_assert(offsetof(FilterRecord, reserved) == 441);

static_assert(sizeof(HandleProcs) == 36);
static_assert(offsetof(HandleProcs, newProc) == 4);
static_assert(offsetof(HandleProcs, lockProc) == 20);
static_assert(offsetof(HandleProcs, unlockProc) == 24);
static_assert(offsetof(HandleProcs, disposeRegularHandleProc) == 32);

static_assert(sizeof(PIDescriptorParameters) == 20);
static_assert(offsetof(PIDescriptorParameters, descriptor) == 8);
static_assert(offsetof(PIDescriptorParameters, writeDescriptorProcs) == 12);
static_assert(offsetof(PIDescriptorParameters, readDescriptorProcs) == 16);

static_assert(sizeof(WriteDescriptorProcs) == 68);
static_assert(offsetof(WriteDescriptorProcs, putIntegerProc) == 12);
static_assert(offsetof(WriteDescriptorProcs, putScopedObjectProc) == 64);
static_assert(sizeof(ReadDescriptorProcs) == 76);
static_assert(offsetof(ReadDescriptorProcs, getKeyProc) == 12);
static_assert(offsetof(ReadDescriptorProcs, getPinnedUnitFloatProc) == 72);

static_assert(sizeof(ColorServicesInfo) == 36);
static_assert(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == 12);
static_assert(offsetof(ColorServicesInfo, colorComponents) == 20);
static_assert(offsetof(ColorServicesInfo, reserved) == 28);
static_assert(offsetof(ColorServicesInfo, selectorParameter) == 32);

static_assert(sizeof(BufferProcs) == 36);
static_assert(sizeof(AboutRecord) == 256);
static_assert(offsetof(AboutRecord, reserved) == 12);
#else
#error "the host interface is declared for 32-bit and 64-bit pointers only"
#endif

}  // namespace tessaro::host

#include "host/scripting.h"

#include <array>

#include "host/suite_slots.h"

namespace tessaro::host {

namespace {

bool IsBooleanKey(const SettingInfo& info) { return info.kind == SettingKind::Check; }

// Getters report a value delivered with 0, or with 2 when the host pinned or
// converted it on the way.
bool Delivered(OSErr err) { return err == kNoErr || err == kCoercedParamErr; }

// Hosts free the descriptor through their own handle procedures.  A null
// handle has nothing to free and is never passed on.
void DisposeDescriptor(FilterRecord& record, PIDescriptorParameters& params,
                       const SystemMessageFn& message) {
  Handle old = params.descriptor;
  params.descriptor = nullptr;
  if (!old) return;
  const HandleProcs* procs = record.handleProcs;
  if (procs && HostTableHasSlot(procs->numHandleProcs, 2) && procs->disposeProc) {
    procs->disposeProc(old);
  } else {
    message("DisposeProc error");
  }
}

// The highest slot each table is read at: getBooleanProc and putBooleanProc.
constexpr int16_t kReadSlotsUsed = 7;
constexpr int16_t kWriteSlotsUsed = 6;

}  // namespace

int ReadDescriptor(FilterRecord& record, EffectSettings& settings, const SystemMessageFn& message) {
  PIDescriptorParameters* params = record.descriptorParameters;
  if (!params || !params->readDescriptorProcs || !params->descriptor) return kNoDescriptor;
  const ReadDescriptorProcs& procs = *params->readDescriptorProcs;
  if (!HostTableHasSlot(procs.numReadDescriptorProcs, kReadSlotsUsed) ||
      !procs.openReadDescriptorProc)
    return kNoDescriptor;

  // Hosts write into the key array while reading: it must be our own copy.
  std::array<uint32_t, kSettingCount + 1> keys{};
  for (size_t i = 0; i < kSettingTable.size(); ++i) keys[i] = kSettingTable[i].scriptKey;

  PIReadDescriptor token = procs.openReadDescriptorProc(params->descriptor, keys.data());
  if (token) {
    if (procs.getKeyProc) {
      uint32_t key = 0, type = 0;
      int32_t flags = 0;
      while (procs.getKeyProc(token, &key, &type, &flags)) {
        const SettingInfo* info = FindByScriptKey(key);
        if (!info) break;
        if (IsBooleanKey(*info)) {
          Boolean value = 0;
          if (!procs.getBooleanProc || !Delivered(procs.getBooleanProc(token, &value))) break;
          settings.Set(info->id, value ? 1 : 0);
        } else {
          int32_t value = 0;
          if (!procs.getIntegerProc || !Delivered(procs.getIntegerProc(token, &value))) break;
          settings.Set(info->id, value);
        }
      }
    }
    if (procs.closeReadDescriptorProc) procs.closeReadDescriptorProc(token);
    DisposeDescriptor(record, *params, message);
  }
  return params->playInfo == kPlugInDialogDisplay ? kShowDialog : kDontShowDialog;
}

void WriteDescriptor(FilterRecord& record, const EffectSettings& settings,
                     const SystemMessageFn& message) {
  PIDescriptorParameters* params = record.descriptorParameters;
  if (!params || !params->writeDescriptorProcs) return;
  const WriteDescriptorProcs& procs = *params->writeDescriptorProcs;
  if (!HostTableHasSlot(procs.numWriteDescriptorProcs, kWriteSlotsUsed) ||
      !procs.openWriteDescriptorProc || !procs.putIntegerProc || !procs.putBooleanProc ||
      !procs.closeWriteDescriptorProc)
    return;

  PIWriteDescriptor token = procs.openWriteDescriptorProc();
  if (!token) {
    message("openWriteDesc error");
    return;
  }
  // The settings table holds the order the values are recorded in and the
  // check each group is recorded with.
  std::array<const SettingInfo*, kSettingCount> recorded{};
  for (const SettingInfo& info : kSettingTable) recorded[size_t(info.recordedAt)] = &info;
  for (const SettingInfo* info : recorded) {
    if (info->recordedWith != info->id && settings.Get(info->recordedWith) == 0) continue;
    if (IsBooleanKey(*info)) {
      procs.putBooleanProc(token, info->scriptKey, settings.Get(info->id) ? 1 : 0);
    } else {
      procs.putIntegerProc(token, info->scriptKey, settings.Get(info->id));
    }
  }

  DisposeDescriptor(record, *params, message);
  Handle written = nullptr;
  procs.closeWriteDescriptorProc(token, &written);
  params->descriptor = written;
  if (!written) message("null write descriptor");
  params->recordInfo = kPlugInDialogOptional;
}

}  // namespace tessaro::host

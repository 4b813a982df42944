// Run-time binding of the MBROLA synthesizer library: the 23 entry points,
// resolved by name when the library is loaded.
#pragma once
#include "platform/voices/mbrola.h"

extern platform::InitMbrFn init_MBR;
extern platform::InitRenameMbrFn init_rename_MBR;
extern platform::WriteMbrFn write_MBR;
extern platform::VoidIntFn flush_MBR;
extern platform::ReadMbrFn read_MBR;
extern platform::ReadTypeMbrFn readtype_MBR;
extern platform::VoidFn close_MBR;
extern platform::VoidIntFn reset_MBR;
extern platform::VoidIntFn lastError_MBR;
extern platform::ErrorStrMbrFn lastErrorStr_MBR;
extern platform::SetIntFn setNoError_MBR;
extern platform::VoidIntFn getNoError_MBR;
extern platform::SetIntFn setFreq_MBR;
extern platform::VoidIntFn getFreq_MBR;
extern platform::SetFloatFn setVolumeRatio_MBR;
extern platform::GetFloatFn getVolumeRatio_MBR;
extern platform::VersionMbrFn getVersion_MBR;
extern platform::DatabaseInfoMbrFn getDatabaseInfo_MBR;
extern platform::SetParserMbrFn setParser_MBR;
extern platform::InitPhoneFn init_Phone;
extern platform::PhoneFn reset_Phone;
extern platform::PhoneFn close_Phone;
extern platform::AppendF0PhoneFn appendf0_Phone;

// Loads the library and resolves every entry point; false (nothing kept)
// when the library is missing or lacks one of them.
bool LoadMbrola();
void UnloadMbrola();
bool MbrolaLoaded();

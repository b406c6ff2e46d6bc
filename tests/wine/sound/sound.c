/* What sndPlaySoundA returns for sounds it can and cannot play, with and without
   SND_NODEFAULT, first with no default sound configured, then with the user's default
   sound ("SystemDefault" of the sound scheme) set to a playable file; also a null name,
   SND_MEMORY images and SND_NOSTOP while a sound plays.
   Needs a wave output device: without a sound card, run with ALSA's null device
   (HOME holding an .asoundrc of "pcm.!default { type null }"). */
#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <string.h>

static const char kDefaultKey[] = "AppEvents\\Schemes\\Apps\\.Default\\SystemDefault\\.Current";

static void Try(const char* label, LPCSTR name, UINT flags) {
  BOOL ok = sndPlaySoundA(name, flags);
  printf("case=%s flags=0x%02X result=%d\n", label, flags, ok);
}

/* 8 kHz mono 16-bit PCM, 0.25 s of a square wave. */
static DWORD MakeWave(BYTE* out) {
  const DWORD samples = 2000, dataSize = samples * 2;
  DWORD riffSize = 4 + 8 + 16 + 8 + dataSize, i;
  WORD fmt[8] = {1, 1, 8000, 0, 16000, 0, 2, 16};
  memcpy(out, "RIFF", 4); memcpy(out + 4, &riffSize, 4); memcpy(out + 8, "WAVEfmt ", 8);
  i = 16; memcpy(out + 16, &i, 4); memcpy(out + 20, fmt, 16);
  memcpy(out + 36, "data", 4); memcpy(out + 40, &dataSize, 4);
  for (i = 0; i < samples; ++i) {
    short v = (i / 10) % 2 ? 3000 : -3000;
    memcpy(out + 44 + 2 * i, &v, 2);
  }
  return 44 + dataSize;
}

static void WriteFileBytes(const char* path, const void* bytes, DWORD size) {
  HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written = 0;
  WriteFile(f, bytes, size, &written, NULL);
  CloseHandle(f);
}

static void MissingCases(const char* phase, const char* badFile) {
  static const char notWave[] = "RIFF\x04\x00\x00\x00JUNK";
  printf("phase=%s\n", phase);
  Try("missing_sync", "C:\\no\\such\\file.wav", SND_SYNC);
  Try("missing_sync_nodefault", "C:\\no\\such\\file.wav", SND_SYNC | SND_NODEFAULT);
  Try("missing_async", "C:\\no\\such\\file.wav", SND_ASYNC);
  Sleep(600);
  Try("missing_async_nodefault", "C:\\no\\such\\file.wav", SND_ASYNC | SND_NODEFAULT);
  Sleep(100);
  Try("not_wave_file_sync", badFile, SND_SYNC);
  Try("not_wave_file_sync_nodefault", badFile, SND_SYNC | SND_NODEFAULT);
  Try("memory_not_wave_sync", notWave, SND_MEMORY | SND_SYNC);
  Try("memory_not_wave_sync_nodefault", notWave, SND_MEMORY | SND_SYNC | SND_NODEFAULT);
}

int main(void) {
  static BYTE wave[5000];
  DWORD waveSize = MakeWave(wave);
  char folder[MAX_PATH], good[MAX_PATH], bad[MAX_PATH];
  HKEY key;
  GetTempPathA(sizeof folder, folder);
  lstrcpyA(good, folder); lstrcatA(good, "orvex_good.wav");
  lstrcpyA(bad, folder); lstrcatA(bad, "orvex_bad.wav");
  WriteFileBytes(good, wave, waveSize);
  WriteFileBytes(bad, "hello", 5);
  printf("devices=%u\n", waveOutGetNumDevs());

  Try("null_stop", NULL, 0);
  Try("file_sync", good, SND_SYNC);
  Try("memory_sync", (LPCSTR)wave, SND_MEMORY | SND_SYNC);
  Try("file_async", good, SND_ASYNC);
  Try("nostop_while_playing", good, SND_ASYNC | SND_NOSTOP);
  Sleep(600);
  Try("nostop_when_idle", good, SND_ASYNC | SND_NOSTOP);
  Try("loop_async", good, SND_ASYNC | SND_LOOP);
  Sleep(300);
  Try("null_stop_while_looping", NULL, 0);

  RegDeleteKeyA(HKEY_CURRENT_USER, kDefaultKey);
  MissingCases("no_default_sound", bad);
  if (RegCreateKeyA(HKEY_CURRENT_USER, kDefaultKey, &key) == ERROR_SUCCESS) {
    RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)good, lstrlenA(good) + 1);
    RegCloseKey(key);
  }
  MissingCases("default_sound_set", bad);
  RegDeleteKeyA(HKEY_CURRENT_USER, kDefaultKey);
  Sleep(600);
  DeleteFileA(good);
  DeleteFileA(bad);
  return 0;
}

#include "tools/compila_scenario/osserva/impronta.hpp"

#include <windows.h>

namespace scenario::osserva {

namespace {

int64_t tempo(const LARGE_INTEGER& t) { return static_cast<int64_t>(t.QuadPart); }

}  // namespace

impronta_file leggi_impronta(const std::filesystem::path& file) {
  impronta_file r;
  // no access asked and every sharing allowed: an editor saving meanwhile is never stopped
  HANDLE h = CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return r;
  BY_HANDLE_FILE_INFORMATION info{};
  FILE_BASIC_INFO base{};
  const bool letto = GetFileInformationByHandle(h, &info) != 0 &&
                     GetFileInformationByHandleEx(h, FileBasicInfo, &base, sizeof base) != 0;
  CloseHandle(h);
  if (!letto) return r;
  r.presente = true;
  r.dimensione = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  r.modifica = tempo(base.LastWriteTime);
  r.cambio = tempo(base.ChangeTime);
  r.identita = ((static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) ^
               (static_cast<uint64_t>(info.dwVolumeSerialNumber) << 40);
  return r;
}

}  // namespace scenario::osserva

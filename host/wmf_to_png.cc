#include "host/wmf_to_png.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

extern "C" {
#include <libwmf/api.h>
#include <libwmf/gd.h>
}

namespace {

int AppendToString(void* context, char* buffer, int length) {
  static_cast<std::string*>(context)->append(buffer, static_cast<size_t>(std::max(length, 0)));
  return length;
}

// libwmf's own size of the metafile at 96 pixels an inch, scaled down to fit
// kMaxPngSide when larger.
void NaturalSize(wmfAPI* api, int& width, int& height) {
  unsigned int w = 0, h = 0;
  if (wmf_display_size(api, &w, &h, 96, 96) != wmf_E_None || w == 0 || h == 0) return;
  const double scale = std::min(1.0, double(kMaxPngSide) / std::max(w, h));
  width = std::max(1, int(w * scale));
  height = std::max(1, int(h * scale));
}

// The drawing itself; runs in the child process.
std::string Draw(std::string_view wmf, int width, int height) {
  wmfAPI* api = nullptr;
  wmfAPI_Options options;
  std::memset(&options, 0, sizeof options);
  options.function = wmf_gd_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None) {
    if (api) wmf_api_destroy(api);
    return {};
  }
  std::string bytes(wmf);  // libwmf reads from a mutable buffer
  std::string png;
  wmfD_Rect box;
  if (wmf_mem_open(api, reinterpret_cast<unsigned char*>(bytes.data()), static_cast<long>(bytes.size())) == wmf_E_None &&
      wmf_scan(api, 0, &box) == wmf_E_None) {
    if (width <= 0 || height <= 0) NaturalSize(api, width, height);
    wmf_gd_t* device = WMF_GD_GetData(api);
    device->type = wmf_gd_png;
    device->flags |= WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = AppendToString;
    device->bbox = box;
    device->width = static_cast<unsigned int>(std::clamp(width, 0, kMaxPngSide));
    device->height = static_cast<unsigned int>(std::clamp(height, 0, kMaxPngSide));
    if (device->width == 0 || device->height == 0 || wmf_play(api, 0, &box) != wmf_E_None) png.clear();
  }
  wmf_api_destroy(api);
  return png;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string WmfToPng(std::string_view wmf, int width, int height) {
  if (wmf.empty()) return {};
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return {};
  }
  if (child == 0) {
    close(pipeEnds[0]);
    // The parent's handlers (an export's clean-up on Ctrl-C) are not the child's.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGALRM}) ::signal(signal, SIG_DFL);
    alarm(kDrawingSeconds);  // SIGALRM ends a drawing that hangs
    const bool written = WriteAll(pipeEnds[1], Draw(wmf, width, height));
    _exit(written ? 0 : 1);  // no destructors or exit handlers of the parent's state
  }
  close(pipeEnds[1]);
  std::string png;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = read(pipeEnds[0], buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    png.append(buffer.data(), static_cast<size_t>(n));
  }
  close(pipeEnds[0]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
  const bool drawn = WIFEXITED(status) && WEXITSTATUS(status) == 0 && png.compare(0, 8, kPngSignature) == 0;
  return drawn ? png : std::string();
}

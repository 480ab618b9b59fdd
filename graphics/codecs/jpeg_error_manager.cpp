// libjpeg's error manager for the library: messages go to the log, and an error jumps back to
// the routine that started the work instead of ending the process.
#include "graphics/codecs/jpeg_support.h"
#include "base/log.h"

namespace {

void JpegOutputMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    LogFormat("JPEG：%s", text);
}

}  // namespace

jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager* manager) {
    jpeg_error_mgr* err = jpeg_std_error(&manager->pub);
    err->error_exit = JpegErrorExit;
    err->output_message = JpegOutputMessage;
    return err;
}

void JpegErrorExit(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

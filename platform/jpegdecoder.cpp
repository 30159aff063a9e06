#include "platform/jpegdecoder.h"

#include "platform/logging.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg's error_exit must not return; it jumps back to decodeInto with the message.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (a short file, say) go to the log rather than to stderr.
void outputMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    qCDebug(lcWindows) << "jpeg:" << text;
}

// Only trivially destructible locals live here, so the long jump skips no destructor;
// the image and the message belong to the caller.
bool decodeInto(const unsigned char* data, unsigned long size, QImage* image, char* why)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = outputMessage;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        std::snprintf(why, JMSG_LENGTH_MAX, "%s", errors.message);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > jpeg::maxSide ||
        info.image_height > jpeg::maxSide) {
        std::snprintf(why, JMSG_LENGTH_MAX, "picture of %ux%u refused", info.image_width,
                      info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull() || info.output_components != 3) {
        std::snprintf(why, JMSG_LENGTH_MAX, "no room for the picture");
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage jpeg::decode(const QByteArray& data, QString* error)
{
    QImage image;
    char why[JMSG_LENGTH_MAX] = {};
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("no data");
        return {};
    }
    if (!decodeInto(reinterpret_cast<const unsigned char*>(data.constData()),
                    static_cast<unsigned long>(data.size()), &image, why)) {
        qCDebug(lcWindows) << "jpeg refused:" << why;
        if (error)
            *error = QString::fromLocal8Bit(why);
        return {};
    }
    return image;
}

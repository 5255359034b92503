#include "host/plot/CairoCanvas.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace qv::host::plot {

Affine Affine::after(const Affine& first) const {
    return {a * first.a + c * first.b,       b * first.a + d * first.b,
            a * first.c + c * first.d,       b * first.c + d * first.d,
            a * first.e + c * first.f + e,   b * first.e + d * first.f + f};
}

Affine Affine::rotation(double angle) {
    const double cs = std::cos(angle), sn = std::sin(angle);
    return {cs, sn, -sn, cs, 0.0, 0.0};
}

namespace {

constexpr const char* kFontFamily = "DejaVu Sans";
// The largest raster image (pixels per side) the canvas makes.
constexpr double kMaxPixels = 32767.0;

// Writes the pixels of an image surface as a JPEG file (quality 90). Empty, or why not.
std::string writeJpeg(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return "cannot create " + path;
    }
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
    while (info.next_scanline < info.image_height) {
        const auto* pixels =
            reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(info.next_scanline) *
                                                         static_cast<size_t>(stride));
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[x];
            row[static_cast<size_t>(x) * 3] = static_cast<JSAMPLE>((p >> 16) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<JSAMPLE>((p >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(p & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    return written && closed ? std::string() : "cannot write " + path;
}

class CairoCanvas : public Canvas {
  public:
    CairoCanvas(cairo_surface_t* surface, OutputFormat format, std::string path, double width,
                double height)
        : m_surface(surface),
          m_cr(cairo_create(surface)),
          m_format(format),
          m_path(std::move(path)),
          m_width(width),
          m_height(height) {
        cairo_set_fill_rule(m_cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_select_font_face(m_cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        if (format != OutputFormat::Pdf) {
            cairo_set_source_rgb(m_cr, 1.0, 1.0, 1.0);
            cairo_paint(m_cr);
        }
    }
    ~CairoCanvas() override {
        cairo_destroy(m_cr);
        cairo_surface_destroy(m_surface);
    }
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

    double width() const override { return m_width; }
    double height() const override { return m_height; }

    void moveTo(DevicePoint p) override { cairo_move_to(m_cr, p.x, p.y); }
    void lineTo(DevicePoint p) override { cairo_line_to(m_cr, p.x, p.y); }
    void closePath() override { cairo_close_path(m_cr); }

    void stroke(const Rgb& colour, double width, bool round) override {
        cairo_set_source_rgb(m_cr, colour.r, colour.g, colour.b);
        cairo_set_line_width(m_cr, width);
        cairo_set_line_join(m_cr, round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
        cairo_set_line_cap(m_cr, round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
        cairo_stroke(m_cr);
    }
    void fill(const Rgb& colour) override {
        cairo_set_source_rgb(m_cr, colour.r, colour.g, colour.b);
        cairo_fill(m_cr);
    }
    void pushClip() override {
        cairo_save(m_cr);
        cairo_clip(m_cr);
    }
    void popClip() override { cairo_restore(m_cr); }

    TextMetrics measure(const std::string& utf8) override {
        cairo_save(m_cr);
        cairo_identity_matrix(m_cr);
        cairo_set_font_size(m_cr, 1000.0);
        cairo_text_extents_t extents{};
        cairo_text_extents(m_cr, utf8.c_str(), &extents);
        if (m_capHeight == 0.0) {
            cairo_text_extents_t capital{};
            cairo_text_extents(m_cr, "H", &capital);
            m_capHeight = -capital.y_bearing / 1000.0;
        }
        cairo_restore(m_cr);
        return {extents.x_advance / 1000.0, m_capHeight};
    }

    void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) override {
        if (!std::isfinite(toDevice.determinant()) || std::abs(toDevice.determinant()) < 1e-12) {
            return;
        }
        cairo_save(m_cr);
        // Glyphs are drawn with y downwards: flip text space's y first.
        const cairo_matrix_t matrix{toDevice.a,  toDevice.b, -toDevice.c,
                                    -toDevice.d, toDevice.e, toDevice.f};
        cairo_set_matrix(m_cr, &matrix);
        cairo_set_font_size(m_cr, 1.0);
        cairo_set_source_rgb(m_cr, colour.r, colour.g, colour.b);
        cairo_move_to(m_cr, 0.0, 0.0);
        cairo_show_text(m_cr, utf8.c_str());
        cairo_new_path(m_cr);
        cairo_restore(m_cr);
    }

    std::string finish() override {
        if (cairo_status(m_cr) != CAIRO_STATUS_SUCCESS) {
            return std::string("drawing failed: ") + cairo_status_to_string(cairo_status(m_cr));
        }
        switch (m_format) {
            case OutputFormat::Pdf:
                cairo_show_page(m_cr);
                cairo_surface_finish(m_surface);
                break;
            case OutputFormat::Png:
                if (cairo_surface_write_to_png(m_surface, m_path.c_str()) !=
                    CAIRO_STATUS_SUCCESS) {
                    return "cannot write " + m_path;
                }
                break;
            case OutputFormat::Jpg:
                return writeJpeg(m_surface, m_path);
        }
        const cairo_status_t status = cairo_surface_status(m_surface);
        return status == CAIRO_STATUS_SUCCESS
                   ? std::string()
                   : "cannot write " + m_path + ": " + cairo_status_to_string(status);
    }

  private:
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
    OutputFormat m_format;
    std::string m_path;
    double m_width, m_height;
    double m_capHeight = 0.0;
};

}  // namespace

std::unique_ptr<Canvas> createCanvas(OutputFormat format, const std::string& path, double width,
                                     double height, std::string& error) {
    if (!(width > 0.0 && height > 0.0)) {
        error = "the sheet has no size";
        return nullptr;
    }
    cairo_surface_t* surface = nullptr;
    switch (format) {
        case OutputFormat::Pdf: {
            FILE* probe = std::fopen(path.c_str(), "wb");
            if (probe == nullptr) {
                error = "cannot create " + path;
                return nullptr;
            }
            std::fclose(probe);
            surface = cairo_pdf_surface_create(path.c_str(), width, height);
            break;
        }
        case OutputFormat::Png:
        case OutputFormat::Jpg: {
            if (width > kMaxPixels || height > kMaxPixels) {
                error = "the image is too large";
                return nullptr;
            }
            surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                                                 static_cast<int>(std::lround(width)),
                                                 static_cast<int>(std::lround(height)));
            break;
        }
    }
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot make the sheet: ") +
                cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::make_unique<CairoCanvas>(surface, format, path, width, height);
}

}  // namespace qv::host::plot

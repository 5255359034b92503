#include "host/plot/CairoCanvas.h"

#include "host/plot/DrawBatches.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <jpeglib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
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
        return "the file cannot be created";
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
    return written && closed ? std::string() : "the file cannot be written";
}

// cairo and fontconfig keep the fonts they loaded for the life of the process; they are given
// back when the process ends, so that a leak checker sees nothing left (no canvas outlives the
// plot that made it).
void releaseFontsAtExit() {
    static const bool registered = [] {
        std::atexit([] {
            cairo_debug_reset_static_data();
            FcFini();
        });
        return true;
    }();
    (void)registered;
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

    void moveTo(DevicePoint p) override {
        m_ops.push_back({PathStep::Move, p});
        grow(p);
    }
    void lineTo(DevicePoint p) override {
        m_ops.push_back({PathStep::Line, p});
        grow(p);
    }
    void closePath() override { m_ops.push_back({PathStep::Close, {}}); }

    void stroke(const Rgb& colour, double width, bool round) override {
        if (!m_ops.empty()) {
            const double box[4] = {m_box[0] - width, m_box[1] - width, m_box[2] + width,
                                   m_box[3] + width};
            m_batches.addStroke(Pen{colour, width, round}, m_ops, box);
        }
        clearPath();
    }
    void fill(const Rgb& colour) override {
        if (!m_ops.empty()) {
            const double box[4] = {m_box[0] - 1, m_box[1] - 1, m_box[2] + 1, m_box[3] + 1};
            m_batches.addFill(colour, m_ops, box);
        }
        clearPath();
    }
    void pushClip() override {
        drawBatches();
        trace(m_ops);
        clearPath();
        cairo_save(m_cr);
        cairo_clip(m_cr);
    }
    void popClip() override {
        drawBatches();
        cairo_restore(m_cr);
    }

    TextMetrics measure(const std::string& utf8) override {
        // The painter measures a text just before it draws it: the drawing asks again.
        if (utf8 == m_measuredText) {
            return m_measured;
        }
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
        m_measuredText = utf8;
        m_measured = {extents.x_advance / 1000.0, m_capHeight};
        return m_measured;
    }

    void text(const std::string& utf8, const Affine& toDevice, const Rgb& colour) override {
        if (!std::isfinite(toDevice.determinant()) || std::abs(toDevice.determinant()) < 1e-12) {
            return;
        }
        // The box of the text: its advance, from below the descenders to above the capitals.
        const double advance = measure(utf8).advance;
        double box[4] = {1e300, 1e300, -1e300, -1e300};
        for (const auto& [x, y] : {std::pair{0.0, -0.3}, {advance, -0.3}, {0.0, 1.0}, {advance, 1.0}}) {
            const DevicePoint p = toDevice.apply(x, y);
            box[0] = std::min(box[0], p.x - 1);
            box[1] = std::min(box[1], p.y - 1);
            box[2] = std::max(box[2], p.x + 1);
            box[3] = std::max(box[3], p.y + 1);
        }
        m_batches.addText(colour, PlacedText{utf8, toDevice}, box);
    }

    std::string finish() override {
        drawBatches();
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
                    return "the file cannot be written";
                }
                break;
            case OutputFormat::Jpg:
                return writeJpeg(m_surface, m_path);
            case OutputFormat::Dwf:
                return "cairo does not write DWF";
        }
        const cairo_status_t status = cairo_surface_status(m_surface);
        return status == CAIRO_STATUS_SUCCESS
                   ? std::string()
                   : std::string("the file cannot be written: ") + cairo_status_to_string(status);
    }

  private:
    void grow(DevicePoint p) {
        m_box[0] = std::min(m_box[0], p.x);
        m_box[1] = std::min(m_box[1], p.y);
        m_box[2] = std::max(m_box[2], p.x);
        m_box[3] = std::max(m_box[3], p.y);
    }
    void clearPath() {
        m_ops.clear();
        m_box[0] = m_box[1] = 1e300;
        m_box[2] = m_box[3] = -1e300;
    }
    void trace(const std::vector<PathOp>& path) {
        for (const PathOp& o : path) {
            switch (o.step) {
                case PathStep::Move:
                    cairo_move_to(m_cr, o.p.x, o.p.y);
                    break;
                case PathStep::Line:
                    cairo_line_to(m_cr, o.p.x, o.p.y);
                    break;
                case PathStep::Close:
                    cairo_close_path(m_cr);
                    break;
            }
        }
    }
    // Draws texts that share a size, slant and rotation as one run of glyphs.
    void drawTexts(const std::vector<PlacedText>& texts) {
        std::vector<cairo_glyph_t> run;
        size_t i = 0;
        while (i < texts.size()) {
            const Affine& m = texts[i].toDevice;
            cairo_save(m_cr);
            // Glyphs are drawn with y downwards: flip text space's y first.
            const cairo_matrix_t linear{m.a, m.b, -m.c, -m.d, 0.0, 0.0};
            cairo_set_matrix(m_cr, &linear);
            cairo_set_font_size(m_cr, 1.0);
            cairo_scaled_font_t* font = cairo_get_scaled_font(m_cr);
            const double det = m.a * -m.d - (-m.c) * m.b;
            run.clear();
            size_t j = i;
            for (; j < texts.size(); ++j) {
                const Affine& t = texts[j].toDevice;
                if (t.a != m.a || t.b != m.b || t.c != m.c || t.d != m.d) {
                    break;
                }
                // The text's origin in the space of the shared matrix.
                const double x = (-m.d * t.e + m.c * t.f) / det;
                const double y = (-m.b * t.e + m.a * t.f) / det;
                cairo_glyph_t* glyphs = nullptr;
                int count = 0;
                if (cairo_scaled_font_text_to_glyphs(font, x, y, texts[j].utf8.c_str(), -1,
                                                     &glyphs, &count, nullptr, nullptr,
                                                     nullptr) == CAIRO_STATUS_SUCCESS) {
                    run.insert(run.end(), glyphs, glyphs + count);
                }
                cairo_glyph_free(glyphs);
            }
            cairo_show_glyphs(m_cr, run.data(), static_cast<int>(run.size()));
            cairo_restore(m_cr);
            i = j;
        }
    }
    // Draws what was gathered, in order.
    void drawBatches() {
        if (m_batches.empty()) {
            return;
        }
        for (const Batch& batch : m_batches.take()) {
            const Rgb& c = batch.pen.colour;
            cairo_set_source_rgb(m_cr, c.r, c.g, c.b);
            switch (batch.kind) {
                case Batch::Kind::Stroke:
                    trace(batch.path);
                    cairo_set_line_width(m_cr, batch.pen.width);
                    cairo_set_line_join(m_cr, batch.pen.round ? CAIRO_LINE_JOIN_ROUND
                                                              : CAIRO_LINE_JOIN_MITER);
                    cairo_set_line_cap(m_cr, batch.pen.round ? CAIRO_LINE_CAP_ROUND
                                                             : CAIRO_LINE_CAP_BUTT);
                    cairo_stroke(m_cr);
                    break;
                case Batch::Kind::Fill:
                    trace(batch.path);
                    cairo_fill(m_cr);
                    break;
                case Batch::Kind::Text:
                    drawTexts(batch.texts);
                    break;
            }
        }
    }

    cairo_surface_t* m_surface;
    cairo_t* m_cr;
    OutputFormat m_format;
    std::string m_path;
    double m_width, m_height;
    double m_capHeight = 0.0;
    std::string m_measuredText;
    TextMetrics m_measured;
    std::vector<PathOp> m_ops;  // the path being built
    double m_box[4] = {1e300, 1e300, -1e300, -1e300};
    DrawBatches m_batches{m_width, m_height};
};

}  // namespace

std::unique_ptr<Canvas> createCanvas(OutputFormat format, const std::string& path, double width,
                                     double height, std::string& error) {
    releaseFontsAtExit();
    if (!(width > 0.0 && height > 0.0)) {
        error = "the sheet has no size";
        return nullptr;
    }
    cairo_surface_t* surface = nullptr;
    switch (format) {
        case OutputFormat::Pdf: {
            FILE* probe = std::fopen(path.c_str(), "wb");
            if (probe == nullptr) {
                error = "the file cannot be created";
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
        case OutputFormat::Dwf:
            error = "cairo does not write DWF";
            return nullptr;
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

#pragma once
// A picture box with persistent drawing: every canvas call lands in its image, which its
// paint event shows and printing copies. Width and Height are twips and read back exactly as
// set; the widget itself takes the nearest whole pixels.
#include "platform/canvas.h"

#include <QImage>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // The drawing interface; its size follows the box's.
    Canvas& canvas() { return canvas_; }

    void setWidthTwips(int twips);
    void setHeightTwips(int twips);
    int widthTwips() const { return widthTwips_; }
    int heightTwips() const { return heightTwips_; }
    // Move(left, top, width, height), all in twips.
    void moveTwips(int left, int top, int width, int height);

    // BackColor: the colour Cls clears to (0xBBGGRR or vbWindowBackground).
    void setBackColor(uint32_t bgr);
    uint32_t backColor() const { return canvas_.backColor(); }

    // The persistent image (Image), one pixel per 15 twips.
    const QImage& image();
    // Tests: every later call is also kept by the recorder (nullptr stops it).
    void setRecorder(CanvasRecorder* recorder) { recorder_ = recorder; }

signals:
    void click();  // the box's Click event: a left button released over it

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class Sink : public CanvasSink {
    public:
        explicit Sink(PictureBox* box) : box_(box) {}
        void draw(const CanvasOp& op) override;

    private:
        PictureBox* box_;
    };

    void resizeImage();

    QImage image_;
    std::unique_ptr<CanvasPainter> painter_;
    Sink sink_;
    Canvas canvas_;
    CanvasRecorder* recorder_ = nullptr;
    int widthTwips_ = 0;
    int heightTwips_ = 0;
};

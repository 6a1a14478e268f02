#include "scene/gl/viewer.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLVersionFunctionsFactory>
#include <QPainter>
#include <QScreen>
#include <QSurfaceFormat>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

namespace scene::gl {

void InstallDefaultSurfaceFormat(bool vsync) {
  QSurfaceFormat f;
  f.setRenderableType(QSurfaceFormat::OpenGL);
  f.setVersion(3, 3);
  f.setProfile(QSurfaceFormat::CoreProfile);
  f.setDepthBufferSize(24);
  f.setStencilBufferSize(8);
  f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  f.setSwapInterval(vsync ? 1 : 0);
  QSurfaceFormat::setDefaultFormat(f);
}

Viewer::Viewer(Scene& scene, Camera& camera, QWidget* parent)
    : QWidget(parent), scene_(scene), camera_(camera) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // Every pixel is painted from the frame: nothing of the background shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &Viewer::Pass);
}

Viewer::~Viewer() { timer_.stop(); }

bool Viewer::EnsureRenderer() {
  if (renderer_) return renderer_->ok();
  renderer_ = std::make_unique<OffscreenRenderer>();
  if (!renderer_->ok()) gl_error_ = renderer_->error();
  return renderer_->ok();
}

const FrameStats& Viewer::stats() const {
  static const FrameStats kNone;
  return renderer_ ? renderer_->stats() : kNone;
}

bool Viewer::Draw(QImage& picture, qreal dpr) {
  if (!EnsureRenderer()) return false;
  const int w = std::max(width(), 1), h = std::max(height(), 1);
  return renderer_->Render(scene_, camera_, w, h, static_cast<int>(std::lround(w * dpr)),
                           static_cast<int>(std::lround(h * dpr)), &picture);
}

bool Viewer::RenderFrame() {
  const qreal dpr = devicePixelRatioF();
  stale_ = false;
  // Into the last frame's pixels: a frame a pass would otherwise allocate and free.
  if (!Draw(frame_, dpr)) {
    frame_ = QImage();
    return false;
  }
  frame_.setDevicePixelRatio(dpr);
  return true;
}

void Viewer::paintEvent(QPaintEvent*) {
  // A view shown before the drive starts, held, or just resized shows the scene as it is.
  if (stale_) RenderFrame();
  QPainter p(this);
  if (frame_.isNull()) {
    p.fillRect(rect(), Qt::black);
  } else {
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), frame_);
  }
  if (frame_fresh_) {
    frame_fresh_ = false;
    // After the painting: a handler may close the window or start another frame.
    QMetaObject::invokeMethod(this, &Viewer::frameSwapped, Qt::QueuedConnection);
  }
}

void Viewer::resizeEvent(QResizeEvent*) { stale_ = true; }

Object* Viewer::GetPickedObject(int x, int y) const {
  return scene::GetPickedObject(scene_.root(), camera_, width(), height(), static_cast<float>(x),
                                static_cast<float>(y));
}

void Viewer::StartDriving(Cadencer* first, Cadencer* second) {
  first_ = first;
  second_ = second;
  if (!clock_.isValid()) clock_.start();
  last_ns_ = clock_.nsecsElapsed();
  // Without a swap to wait on, "vertical sync" means keeping to the screen's rate.
  const QScreen* s = screen();
  const double hz = s && s->refreshRate() > 1 ? s->refreshRate() : 60.0;
  frame_interval_ns_ = QSurfaceFormat::defaultFormat().swapInterval() > 0 ? static_cast<qint64>(1e9 / hz) : 0;
  driving_ = true;
  timer_.start(0);
}

void Viewer::StopDriving() {
  driving_ = false;
  timer_.stop();
}

void Viewer::Pass() {
  if (!driving_) return;
  const qint64 now = clock_.nsecsElapsed();
  const double dt = static_cast<double>(now - last_ns_) / 1e9;
  last_ns_ = now;
  if (first_) first_->Progress(dt);
  if (second_) second_->Progress(dt);
  if (!driving_) return;  // a handler may have stopped the drive
  const QWindow* w = window() ? window()->windowHandle() : nullptr;
  const bool shown = isVisible() && w && w->isExposed() && w->visibility() != QWindow::Minimized;
  if (!shown || !RenderFrame()) {
    // Nothing to draw on: the clocks go on ten times a second.
    timer_.start(100);
    return;
  }
  frame_fresh_ = true;
  repaint();
  // The next pass starts once this frame is shown, or when the display wants the next.
  const qint64 spent = clock_.nsecsElapsed() - now;
  const qint64 wait_ms = frame_interval_ns_ > spent ? (frame_interval_ns_ - spent + 500000) / 1000000 : 0;
  timer_.start(static_cast<int>(wait_ms));
}

QImage Viewer::Screenshot() {
  QImage shot;
  return Draw(shot, 1) ? shot : QImage();
}

void Viewer::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (on_mouse_down) on_mouse_down(p.x(), p.y(), e->button());
}

void Viewer::mouseMoveEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (on_mouse_move) on_mouse_move(p.x(), p.y());
}

void Viewer::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (on_mouse_up) on_mouse_up(p.x(), p.y(), e->button());
}

void Viewer::leaveEvent(QEvent*) {
  if (on_mouse_leave) on_mouse_leave();
}

void Viewer::wheelEvent(QWheelEvent* e) {
  // Fine-grained wheels and touchpads report fractions of a notch (120 units).
  wheel_accum_ += e->angleDelta().y();
  const int notches = wheel_accum_ / 120;
  wheel_accum_ -= notches * 120;
  if (notches != 0 && on_wheel) on_wheel(notches);
  e->accept();
}

OffscreenRenderer::OffscreenRenderer() {
  QSurfaceFormat f = QSurfaceFormat::defaultFormat();
  if (f.majorVersion() < 3 || (f.majorVersion() == 3 && f.minorVersion() < 3)) {
    f.setVersion(3, 3);
    f.setProfile(QSurfaceFormat::CoreProfile);
  }
  context_ = std::make_unique<QOpenGLContext>();
  context_->setFormat(f);
  if (!context_->create()) {
    error_ = "cannot create an OpenGL context";
    return;
  }
  surface_ = std::make_unique<QOffscreenSurface>();
  surface_->setFormat(context_->format());
  surface_->create();
  if (!context_->makeCurrent(surface_.get())) {
    error_ = "cannot make the OpenGL context current";
    return;
  }
  auto* gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context_.get());
  if (!gl || !gl->initializeOpenGLFunctions()) {
    error_ = "OpenGL 3.3 core is not available";
    context_->doneCurrent();
    return;
  }
  ok_ = renderer_.Initialize(gl, &error_);
  context_->doneCurrent();
}

OffscreenRenderer::~OffscreenRenderer() {
  if (context_ && surface_ && context_->makeCurrent(surface_.get())) {
    renderer_.Release();
    fbo_.reset();
    context_->doneCurrent();
  }
}

QImage OffscreenRenderer::Render(Scene& scene, const Camera& camera, int w, int h, bool read_back) {
  QImage img;
  if (!Render(scene, camera, w, h, w, h, read_back ? &img : nullptr)) return {};
  return img;
}

bool OffscreenRenderer::Render(Scene& scene, const Camera& camera, int view_w, int view_h, int fb_w,
                               int fb_h, QImage* picture) {
  if (!ok_ || !context_->makeCurrent(surface_.get())) return false;
  fb_w = std::max(fb_w, 1);
  fb_h = std::max(fb_h, 1);
  if (!fbo_ || fbo_->width() != fb_w || fbo_->height() != fb_h) {
    fbo_ = std::make_unique<QOpenGLFramebufferObject>(
        fb_w, fb_h, QOpenGLFramebufferObject::CombinedDepthStencil);
  }
  fbo_->bind();
  renderer_.Render(scene, camera, std::max(view_w, 1), std::max(view_h, 1), fb_w, fb_h);
  bool read = true;
  if (picture) {
    // The framebuffer's own layout, so the driver copies without converting; GL's rows
    // run bottom first.
    constexpr QImage::Format kLayout = QImage::Format_RGBX8888;
    if (picture->width() != fb_w || picture->height() != fb_h || picture->format() != kLayout)
      *picture = QImage(fb_w, fb_h, kLayout);
    read = !picture->isNull();  // no memory for it
    if (read) {
      auto* f = context_->functions();
      f->glPixelStorei(GL_PACK_ALIGNMENT, 4);
      f->glReadPixels(0, 0, fb_w, fb_h, GL_RGBA, GL_UNSIGNED_BYTE, picture->bits());
      picture->mirror(false, true);
    }
  }
  fbo_->release();
  context_->doneCurrent();
  return read;
}

void OffscreenRenderer::Finish() {
  if (!ok_ || !context_->makeCurrent(surface_.get())) return;
  context_->functions()->glFinish();
  context_->doneCurrent();
}

}  // namespace scene::gl

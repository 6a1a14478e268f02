#include "scene/gl/viewer.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLVersionFunctionsFactory>
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
    : QOpenGLWidget(parent), scene_(scene), camera_(camera) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &Viewer::Pass);
  // The next pass starts once the frame is shown, so no more frames are made than seen.
  connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
    if (driving_) timer_.start(0);
  });
}

Viewer::~Viewer() {
  timer_.stop();
  if (ready_) {
    makeCurrent();
    renderer_.Release();
    doneCurrent();
  }
}

void Viewer::initializeGL() {
  gl_ = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(QOpenGLContext::currentContext());
  if (!gl_ || !gl_->initializeOpenGLFunctions()) {
    gl_error_ = "OpenGL 3.3 core is not available";
    return;
  }
  // A context re-created (the widget moved to another window) starts from nothing.
  renderer_.Release();
  ready_ = renderer_.Initialize(gl_, &gl_error_);
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &Viewer::Release,
          Qt::UniqueConnection);
}

void Viewer::Release() {
  if (!ready_) return;
  makeCurrent();
  renderer_.Release();
  doneCurrent();
  ready_ = false;
}

void Viewer::paintGL() {
  if (!ready_) {
    if (gl_) {
      gl_->glClearColor(0, 0, 0, 1);
      gl_->glClear(GL_COLOR_BUFFER_BIT);
    }
    return;
  }
  const qreal dpr = devicePixelRatioF();
  renderer_.Render(scene_, camera_, width(), height(), static_cast<int>(std::lround(width() * dpr)),
                   static_cast<int>(std::lround(height() * dpr)));
  // The renderer leaves its own state; Qt composes from the default framebuffer object.
}

Object* Viewer::GetPickedObject(int x, int y) const {
  return scene::GetPickedObject(scene_.root(), camera_, width(), height(), static_cast<float>(x),
                                static_cast<float>(y));
}

void Viewer::StartDriving(Cadencer* first, Cadencer* second) {
  first_ = first;
  second_ = second;
  if (!clock_.isValid()) clock_.start();
  last_ns_ = clock_.nsecsElapsed();
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
  if (shown) {
    update();
    // frameSwapped restarts the drive at once; should no frame come (the view was
    // covered meanwhile), this brings the next pass all the same.
    timer_.start(100);
  } else {
    timer_.start(100);
  }
}

QImage Viewer::Screenshot() { return grabFramebuffer(); }

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
  if (!ok_ || !context_->makeCurrent(surface_.get())) return {};
  w = std::max(w, 1);
  h = std::max(h, 1);
  if (!fbo_ || fbo_->width() != w || fbo_->height() != h) {
    fbo_ = std::make_unique<QOpenGLFramebufferObject>(
        w, h, QOpenGLFramebufferObject::CombinedDepthStencil);
  }
  fbo_->bind();
  renderer_.Render(scene, camera, w, h, w, h);
  QImage img;
  if (read_back) img = fbo_->toImage().convertToFormat(QImage::Format_RGB32);
  fbo_->release();
  context_->doneCurrent();
  return img;
}

void OffscreenRenderer::Finish() {
  if (!ok_ || !context_->makeCurrent(surface_.get())) return;
  context_->functions()->glFinish();
  context_->doneCurrent();
}

}  // namespace scene::gl

#pragma once
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "scene/scene.h"
#include "scene/gl/renderer.h"

class QOpenGLContext;
class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace scene::gl {

// The OpenGL format every view needs: 3.3 core, depth 24, stencil 8, double-buffered,
// with or without waiting for the display's vertical sync. Call before QApplication is
// constructed.
void InstallDefaultSurfaceFormat(bool vsync = true);

class OffscreenRenderer;

// The 3D view: draws a scene through a camera, background black, reports pointer events
// in view pixels and drives cadencers from the application's idle time.
//
// The scene is drawn into a framebuffer of its own and the picture handed to the window
// as an ordinary widget's. A GL widget would be composed into its window by GL every
// frame instead: with a software rasterizer that composition cost more than drawing the
// bare ground, while the copy here costs about a millisecond.
class Viewer : public QWidget {
  Q_OBJECT

 public:
  Viewer(Scene& scene, Camera& camera, QWidget* parent = nullptr);
  ~Viewer() override;

  // Pointer events on the view, in view pixels (x right, y down from the top-left).
  std::function<void(int x, int y, Qt::MouseButton button)> on_mouse_down;
  std::function<void(int x, int y)> on_mouse_move;
  std::function<void(int x, int y, Qt::MouseButton button)> on_mouse_up;
  // The pointer has left the view.
  std::function<void()> on_mouse_leave;
  // Wheel turns in whole notches: positive away from the user, negative toward.
  std::function<void(int notches)> on_wheel;

  // The nearest visible, pickable world object under view pixel (x, y), or nullptr.
  Object* GetPickedObject(int x, int y) const;

  // Progresses the cadencers from the application's idle time: each pass runs `first`,
  // then `second` (either may be null), then renders one frame; the next pass starts
  // when that frame is on screen, so with vsync the pace is the display's and no frame
  // is drawn twice. While the view is hidden or minimized nothing is drawn and the
  // cadencers progress ten times a second. Cadencers never progress re-entrantly.
  void StartDriving(Cadencer* first, Cadencer* second);
  void StopDriving();
  bool driving() const { return driving_; }

  // Renders the current scene into an image of the view's size (for screenshots).
  QImage Screenshot();

  const FrameStats& stats() const;
  // Set when the GL context could not run the renderer.
  const std::string& gl_error() const { return gl_error_; }

 signals:
  // A frame drawn by the drive is on screen.
  void frameSwapped();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void Pass();
  // Draws the scene into `frame_` at the view's size; false when GL cannot.
  bool RenderFrame();
  // The scene at the view's size, `dpr` device pixels to a view pixel, into `picture`
  // (reusing its pixels when it has that size); false without GL.
  bool Draw(QImage& picture, qreal dpr);
  bool EnsureRenderer();

  Scene& scene_;
  Camera& camera_;
  std::unique_ptr<OffscreenRenderer> renderer_;
  std::string gl_error_;
  QImage frame_;
  bool frame_fresh_ = false;  // drawn by the drive and not yet on screen
  bool stale_ = true;  // the picture no longer shows the view (resized)

  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ns_ = 0;
  // Nanoseconds between frames when waiting for the display; 0: as fast as possible.
  qint64 frame_interval_ns_ = 0;
  bool driving_ = false;
  Cadencer* first_ = nullptr;
  Cadencer* second_ = nullptr;
  int wheel_accum_ = 0;
};

// Renders a scene without a window, into an image: for tests, benchmarks and tools.
// Needs a QGuiApplication.
class OffscreenRenderer {
 public:
  OffscreenRenderer();
  ~OffscreenRenderer();
  OffscreenRenderer(const OffscreenRenderer&) = delete;
  OffscreenRenderer& operator=(const OffscreenRenderer&) = delete;

  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  // Draws one frame of w x h pixels. With `read_back` false the image is not fetched
  // (an empty image is returned), which is what a frame-rate measurement wants.
  QImage Render(Scene& scene, const Camera& camera, int w, int h, bool read_back = true);
  // The same for a view of view_w x view_h pixels drawn at fb_w x fb_h (a high-density
  // screen), read back into `picture` unless it is null: fb_w x fb_h, rows top first,
  // opaque, in the pixels it already has when it is of that size. False when GL cannot.
  bool Render(Scene& scene, const Camera& camera, int view_w, int view_h, int fb_w, int fb_h,
              QImage* picture);
  // Waits until the GL has finished every command given so far.
  void Finish();
  const FrameStats& stats() const { return renderer_.stats(); }
  void SetLayers(bool on) { renderer_.SetLayers(on); }

 private:
  std::unique_ptr<QOffscreenSurface> surface_;
  std::unique_ptr<QOpenGLContext> context_;
  std::unique_ptr<QOpenGLFramebufferObject> fbo_;
  Renderer renderer_;
  bool ok_ = false;
  std::string error_;
};

}  // namespace scene::gl

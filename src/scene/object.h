#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "scene/font.h"
#include "scene/material.h"
#include "scene/math.h"

namespace scene {

class Scene;

enum class ObjectKind { DummyCube, Plane, Cube, HUDSprite, HUDText, LightSource, Camera };

// One node of the scene tree. A parent owns its children; children are drawn in the order
// they were added. Objects are never removed: the game hides what it does not need.
//
// Every setter compares first: writing the value already held changes nothing (and costs
// no re-render work). A real change raises the subtree revision of the object and all its
// ancestors, which is how the renderer knows which parts of the tree to rebuild.
class Object {
 public:
  virtual ~Object();
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ObjectKind kind() const { return kind_; }
  // Dense number in creation order, unique within the scene (the root is 0).
  int id() const { return id_; }
  Scene* scene() const { return scene_; }
  Object* parent() const { return parent_; }
  const std::string& name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // Creates a child of class T (DummyCube, Plane, Cube, HUDSprite, HUDText, LightSource,
  // Camera) appended after the existing children, and returns it.
  template <class T>
  T* AddNewChild() {
    static_assert(std::is_base_of_v<Object, T>);
    auto child = std::unique_ptr<T>(new T());
    T* raw = child.get();
    Adopt(std::move(child));
    return raw;
  }
  int child_count() const { return static_cast<int>(children_.size()); }
  Object* child(int i) const { return children_.at(static_cast<size_t>(i)).get(); }
  // Depth-first search of the subtree below this object by name, or nullptr.
  Object* FindChild(std::string_view name) const;

  // Position of the centre, in the parent's frame (HUD objects: view pixels, z unused).
  const Vec3& position() const { return position_; }
  float x() const { return position_.x; }
  float y() const { return position_.y; }
  float z() const { return position_.z; }
  void SetPosition(const Vec3& p);
  void SetPosition(float x, float y, float z) { SetPosition(Vec3{x, y, z}); }
  void SetX(float v) { SetPosition(Vec3{v, position_.y, position_.z}); }
  void SetY(float v) { SetPosition(Vec3{position_.x, v, position_.z}); }
  void SetZ(float v) { SetPosition(Vec3{position_.x, position_.y, v}); }

  // An invisible object is neither drawn nor picked, and neither are its children.
  bool visible() const { return visible_; }
  void SetVisible(bool on);
  // Visible, and so is every ancestor.
  bool VisibleInTree() const;
  bool pickable() const { return pickable_; }
  void SetPickable(bool on);
  // A hint for containers whose children are flat, untilted planes at one height that
  // change seldom: a renderer may draw them once into a picture of their own and show
  // that. What is drawn stays the same either way.
  bool layered() const { return layered_; }
  void SetLayered(bool on) { layered_ = on; }

  // Absolute angles in degrees. Pitch turns about the right axis (Direction x Up) of the
  // object's initial orientation; roll turns about the object's own Direction axis,
  // counter-clockwise when looking back along Direction. World objects start with
  // Direction +Z and Up +Y (so their right axis is -X: pitch -30 raises the +Y edge by
  // 30 degrees); the camera starts with Direction -Z and Up +Y (right axis +X: pitch +30
  // makes it look 30 degrees off the vertical toward +Y). HUD objects ignore both.
  float pitch_angle() const { return pitch_; }
  float roll_angle() const { return roll_; }
  void SetPitchAngle(float degrees);
  void SetRollAngle(float degrees);
  // Orientation in the parent's frame: pitch(roll(v)).
  Mat4 Rotation() const;
  // Rotation then translation to `position`, in the parent's frame.
  Mat4 LocalMatrix() const;
  // LocalMatrix composed with every ancestor's: object frame to world.
  Mat4 WorldMatrix() const;
  // Current Direction and Up axes in world space.
  Vec3 Direction() const;
  Vec3 Up() const;

  // The material, by its name in the scene's material library. A name that names no
  // material (or an empty name) draws the object untextured. HUD texts have no material.
  const std::string& lib_material_name() const { return material_name_; }
  void SetLibMaterialName(std::string_view name);

  // Grows on every real change to this object or anything below it (not on reads).
  uint64_t subtree_revision() const { return subtree_revision_; }
  // Grows on every real change to this object itself: its own properties or its list of
  // children, not what happens further down.
  uint64_t revision() const { return revision_; }

 protected:
  explicit Object(ObjectKind kind) : kind_(kind) {}
  // A drawable property changed: mark this object and its ancestors.
  void Touch();

 private:
  friend class Scene;
  void Adopt(std::unique_ptr<Object> child);
  Vec3 InitialDirection() const;

  ObjectKind kind_;
  int id_ = 0;
  Scene* scene_ = nullptr;
  Object* parent_ = nullptr;
  std::vector<std::unique_ptr<Object>> children_;
  std::string name_;
  Vec3 position_;
  bool visible_ = true;
  bool pickable_ = true;
  bool layered_ = false;
  float pitch_ = 0, roll_ = 0;
  std::string material_name_;
  uint64_t subtree_revision_ = 1;
  uint64_t revision_ = 1;
};

// A container: groups children, draws nothing, is never picked.
class DummyCube : public Object {
 public:
  float cube_size() const { return cube_size_; }
  void SetCubeSize(float s) { cube_size_ = s; }  // only a design-time gizmo size

 protected:
  DummyCube() : Object(ObjectKind::DummyCube) {}
  friend class Object;
  friend class Scene;

 private:
  float cube_size_ = 1;
};

// A rectangle centred on its position, Width along local X and Height along local Y, in
// the units of its position: world units for a plane, view pixels for a HUD sprite.
class Rectangle : public Object {
 public:
  float width() const { return width_; }
  float height() const { return height_; }
  void SetWidth(float w);
  void SetHeight(float h);

 protected:
  Rectangle(ObjectKind kind, float size) : Object(kind), width_(size), height_(size) {}

 private:
  float width_, height_;
};

// A flat rectangle facing local +Z, 1 x 1 when new. Lit from either side.
class Plane : public Rectangle {
 protected:
  Plane() : Rectangle(ObjectKind::Plane, 1) {}
  friend class Object;
};

// A box centred on its position: CubeWidth along local X, CubeDepth along local Y and
// CubeHeight along local Z, the height toward the camera, so a cube resting on the ground
// has its centre at ground + CubeHeight / 2.
class Cube : public Object {
 public:
  float cube_width() const { return width_; }
  float cube_depth() const { return depth_; }
  float cube_height() const { return height_; }
  void SetCubeSize(float width, float depth, float height);

 protected:
  Cube() : Object(ObjectKind::Cube) {}
  friend class Object;

 private:
  float width_ = 1, depth_ = 1, height_ = 1;
};

// A textured rectangle over the 3D image, in view pixels (x to the right, y down from the
// top-left corner), 16 x 16 when new. Never lit, never picked.
class HUDSprite : public Rectangle {
 protected:
  HUDSprite() : Rectangle(ObjectKind::HUDSprite, 16) {}
  friend class Object;
};

// Text over the 3D image in one of the bitmap fonts, anchored at its position (view
// pixels) by Alignment and Layout. Line breaks (CR LF, LF or CR) start new lines. A text
// without a font draws nothing.
class HUDText : public Object {
 public:
  const std::string& text() const { return text_; }
  void SetText(std::string_view utf8);
  const BitmapFont* bitmap_font() const { return font_; }
  void SetBitmapFont(const BitmapFont* font);
  Alignment alignment() const { return alignment_; }
  void SetAlignment(Alignment a);
  TextLayout layout() const { return layout_; }
  void SetLayout(TextLayout l);
  // The widest the text may be drawn, in HUD pixels (0: any width). A wider text is drawn
  // in a smaller size of its font until its widest line fits, so that a caption stays on
  // its button whatever the language.
  float fit_width() const { return fit_width_; }
  void SetFitWidth(float w);

 protected:
  HUDText() : Object(ObjectKind::HUDText) {}
  friend class Object;

 private:
  std::string text_;
  const BitmapFont* font_ = nullptr;
  Alignment alignment_ = Alignment::LeftJustify;
  TextLayout layout_ = TextLayout::Top;
  float fit_width_ = 0;
};

// A positional omni light (the only style the game uses), shining while visible. Its
// changes are read by the renderer every frame and cost nothing else.
class LightSource : public Object {
 public:
  const Color& diffuse() const { return diffuse_; }
  void SetDiffuse(const Color& c) { diffuse_ = c; }
  const Color& ambient() const { return ambient_; }
  void SetAmbient(const Color& c) { ambient_ = c; }
  float const_attenuation() const { return const_attenuation_; }
  void SetConstAttenuation(float a) { const_attenuation_ = a; }
  // An omni light shines all round: 180.
  float spot_cutoff() const { return spot_cutoff_; }
  void SetSpotCutOff(float degrees) { spot_cutoff_ = degrees; }

 protected:
  LightSource() : Object(ObjectKind::LightSource) {}
  friend class Object;

 private:
  Color diffuse_{1, 1, 1, 1};
  Color ambient_{0, 0, 0, 1};
  float const_attenuation_ = 1;
  float spot_cutoff_ = 180;
};

// The eye. Looks along -Z with +Y up until pitched. Its perspective is that of a lens of
// `focal_length` on a 96 dpi screen; see scene/camera.h.
class Camera : public Object {
 public:
  float focal_length() const { return focal_length_; }
  void SetFocalLength(float f) { focal_length_ = f; }
  float depth_of_view() const { return depth_of_view_; }
  void SetDepthOfView(float d) { depth_of_view_ = d; }

 protected:
  Camera() : Object(ObjectKind::Camera) {}
  friend class Object;

 private:
  float focal_length_ = 50;
  float depth_of_view_ = 100;
};

}  // namespace scene

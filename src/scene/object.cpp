#include "scene/object.h"

#include "scene/scene.h"

namespace scene {

Object::~Object() = default;

void Object::Adopt(std::unique_ptr<Object> child) {
  child->parent_ = this;
  child->scene_ = scene_;
  if (scene_) scene_->Register(child.get());
  children_.push_back(std::move(child));
  Touch();
}

void Object::Touch() {
  // Lights and the camera are read afresh every frame; their changes rebuild nothing.
  if (kind_ == ObjectKind::LightSource || kind_ == ObjectKind::Camera) return;
  ++revision_;
  for (Object* o = this; o; o = o->parent_) ++o->subtree_revision_;
}

Object* Object::FindChild(std::string_view name) const {
  for (const auto& c : children_) {
    if (c->name_ == name) return c.get();
    if (Object* found = c->FindChild(name)) return found;
  }
  return nullptr;
}

void Object::SetPosition(const Vec3& p) {
  if (p == position_) return;
  position_ = p;
  Touch();
}

void Object::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  Touch();
}

bool Object::VisibleInTree() const {
  for (const Object* o = this; o; o = o->parent_)
    if (!o->visible_) return false;
  return true;
}

void Object::SetPickable(bool on) { pickable_ = on; }

void Object::SetPitchAngle(float degrees) {
  if (degrees == pitch_) return;
  pitch_ = degrees;
  Touch();
}

void Object::SetRollAngle(float degrees) {
  if (degrees == roll_) return;
  roll_ = degrees;
  Touch();
}

Vec3 Object::InitialDirection() const {
  return kind_ == ObjectKind::Camera ? Vec3{0, 0, -1} : Vec3{0, 0, 1};
}

Mat4 Object::Rotation() const {
  const Vec3 dir = InitialDirection();
  const Vec3 right = Cross(dir, Vec3{0, 1, 0});
  if (pitch_ == 0 && roll_ == 0) return Mat4::Identity();
  return Mat4::Rotation(right, pitch_) * Mat4::Rotation(dir, roll_);
}

Mat4 Object::LocalMatrix() const {
  Mat4 m = Rotation();
  m.at(0, 3) = position_.x;
  m.at(1, 3) = position_.y;
  m.at(2, 3) = position_.z;
  return m;
}

Mat4 Object::WorldMatrix() const {
  Mat4 m = LocalMatrix();
  for (const Object* o = parent_; o; o = o->parent_) m = o->LocalMatrix() * m;
  return m;
}

Vec3 Object::Direction() const { return Normalized(WorldMatrix().TransformVector(InitialDirection())); }
Vec3 Object::Up() const { return Normalized(WorldMatrix().TransformVector(Vec3{0, 1, 0})); }

void Object::SetLibMaterialName(std::string_view name) {
  if (name == material_name_) return;
  material_name_.assign(name);
  Touch();
}

void Rectangle::SetWidth(float w) {
  if (w == width_) return;
  width_ = w;
  Touch();
}

void Rectangle::SetHeight(float h) {
  if (h == height_) return;
  height_ = h;
  Touch();
}

void Cube::SetCubeSize(float width, float depth, float height) {
  if (width == width_ && depth == depth_ && height == height_) return;
  width_ = width, depth_ = depth, height_ = height;
  Touch();
}

void HUDText::SetText(std::string_view utf8) {
  if (utf8 == text_) return;
  text_.assign(utf8);
  Touch();
}

void HUDText::SetBitmapFont(const BitmapFont* font) {
  if (font == font_) return;
  font_ = font;
  Touch();
}

void HUDText::SetAlignment(Alignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Touch();
}

void HUDText::SetLayout(TextLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Touch();
}

void HUDText::SetFitWidth(float w) {
  if (w == fit_width_) return;
  fit_width_ = w;
  Touch();
}

}  // namespace scene

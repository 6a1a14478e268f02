# The one table of layers: each folder under src/ and the folders it may include from.
# The build adds the layers in this order and the `layers` test checks every include
# against it. A folder may always include itself. Only the layers named in
# QUENMAR_QT_LAYERS may include Qt; QUENMAR_STD_ONLY_LAYERS include nothing but the C++
# standard library (and the layers they may use).
set(QUENMAR_LAYER_ORDER core traffic scene audio hud presentation shell sim scene/gl ui)

set(QUENMAR_USES_core "")
set(QUENMAR_USES_traffic core)
set(QUENMAR_USES_scene "")
set(QUENMAR_USES_audio core)
set(QUENMAR_USES_hud core traffic scene)
set(QUENMAR_USES_presentation core traffic scene audio hud)
set(QUENMAR_USES_shell core traffic scene audio hud presentation)
set(QUENMAR_USES_sim core traffic scene audio hud presentation shell)
set(QUENMAR_USES_scene/gl scene)
set(QUENMAR_USES_ui core traffic scene audio hud presentation shell sim scene/gl)

set(QUENMAR_QT_LAYERS scene/gl ui)
set(QUENMAR_STD_ONLY_LAYERS core traffic)

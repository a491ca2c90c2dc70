# The module's rules that need no window, in one library: the table of configuration keys,
# the text rules (placeholders, positions, format sequences, log lines), display scaling,
# the skin's geometry (SkinGeometry.h), access keys, the settings dialog's key filter and the
# contrast ratio of two colours. The module, settingcheck (its Windows and its native
# build) and the fuzzers all build these sources; none of them includes windows.h.
set(SETTING_RULES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SETTING_RULES_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AccessKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ColourContrast.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigKeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DpiScaling.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyFilter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Text.cpp)

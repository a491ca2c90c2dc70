# Shared by scripts/with-display and scripts/wine-run (sourced): the environment variable that
# names the X server of a Wine prefix, SETTING_DISPLAY_ and the prefix folder's name
# ("SETTING_DISPLAY_wineprefix_x86_dpi144").
desk_display_variable() {
    local name
    name=$(basename "$1")
    echo "SETTING_DISPLAY_${name//[^A-Za-z0-9]/_}"
}

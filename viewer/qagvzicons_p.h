#pragma once

// The viewer's built-in 16 x 16 XPM images.

// role icons of the curve list: none, time, X, Y, Z, XY, YZ, XZ, XYZ (X green, Y blue, Z red)
extern const char* const gvz_0_xpm[];
extern const char* const gvz_t_xpm[];
extern const char* const gvz_x_xpm[];
extern const char* const gvz_y_xpm[];
extern const char* const gvz_z_xpm[];
extern const char* const gvz_xy_xpm[];
extern const char* const gvz_yz_xpm[];
extern const char* const gvz_xz_xpm[];
extern const char* const gvz_xyz_xpm[];
// the window icon: three curves on a small chart
extern const char* const gvzviewer_xpm[];
// the tool menu's "Reload" entry: a circular arrow
extern const char* const reload_xpm[];

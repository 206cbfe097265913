// placeholder unit; replaced as the dialogs code lands

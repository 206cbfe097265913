// placeholder unit; replaced as the cad code lands

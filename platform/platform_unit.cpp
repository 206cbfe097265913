// placeholder unit; replaced as the platform code lands

#ifndef SIM_LINUX_DEVICE_H
#define SIM_LINUX_DEVICE_H

struct device_driver {
	const char *name;
};

struct device {
	void *driver_data;
};

static inline void *dev_get_drvdata(struct device *dev)
{
	return dev->driver_data;
}

static inline void dev_set_drvdata(struct device *dev, void *data)
{
	dev->driver_data = data;
}

#endif

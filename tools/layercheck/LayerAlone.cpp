// Linked with every object file of one layer of the game and only the layers
// below it: the link succeeds only while the layer calls nothing above it.
int main()
{
	return 0;
}
